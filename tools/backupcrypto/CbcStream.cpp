#include "CbcStream.h"

#include "CryptoPrimitives.h"

#include <openssl/evp.h>

#include <climits>

namespace backupcrypto {

void CbcStream::ContextFree::operator()(evp_cipher_ctx_st* context) const
{
    EVP_CIPHER_CTX_free(context);
}

CbcStream::CbcStream(Direction direction, std::string_view key, std::string_view iv)
{
    const EVP_CIPHER* cipher = key.size() == 16   ? EVP_aes_128_cbc()
                               : key.size() == 24 ? EVP_aes_192_cbc()
                               : key.size() == 32 ? EVP_aes_256_cbc()
                                                  : nullptr;
    static const unsigned char zeroIv[16] = {};
    if (!cipher || !(iv.empty() || iv.size() == 16))
        throw CryptoError("AES-CBC needs a 16, 24 or 32-byte key and a 16-byte IV");
    m_context.reset(EVP_CIPHER_CTX_new());
    if (!m_context)
        throw CryptoError("no cipher context");
    if (EVP_CipherInit_ex(m_context.get(), cipher, nullptr,
                          reinterpret_cast<const unsigned char*>(key.data()),
                          iv.empty() ? zeroIv : reinterpret_cast<const unsigned char*>(iv.data()),
                          direction == Direction::Encrypt ? 1 : 0) != 1)
        throw CryptoError("cipher initialisation failed");
}

CbcStream::~CbcStream() = default;

size_t CbcStream::update(const char* input, size_t length, char* output)
{
    if (m_finished)
        throw CryptoError("cipher stream already finished");
    size_t written = 0;
    // EVP takes int lengths: large pieces go through in slices.
    constexpr size_t kSlice = size_t(1) << 30;
    while (length > 0) {
        const size_t slice = length < kSlice ? length : kSlice;
        int produced = 0;
        if (EVP_CipherUpdate(m_context.get(), reinterpret_cast<unsigned char*>(output + written), &produced,
                             reinterpret_cast<const unsigned char*>(input), int(slice)) != 1)
            throw CryptoError("cipher update failed");
        written += size_t(produced);
        input += slice;
        length -= slice;
    }
    return written;
}

size_t CbcStream::finish(char* output)
{
    if (m_finished)
        return 0;
    m_finished = true;
    int produced = 0;
    if (EVP_CipherFinal_ex(m_context.get(), reinterpret_cast<unsigned char*>(output), &produced) != 1)
        throw CryptoError("the data does not decrypt: wrong key or damaged content");
    return size_t(produced);
}

} // namespace backupcrypto
