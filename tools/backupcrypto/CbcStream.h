#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

struct evp_cipher_ctx_st;

namespace backupcrypto {

// AES-CBC with block padding over a stream of pieces, for file contents that never fit in memory. Backup
// content files use AES-256 with an all-zero IV. Throws CryptoError.
class CbcStream
{
public:
    enum class Direction
    {
        Encrypt,
        Decrypt
    };

    // The key length (16, 24 or 32 bytes) chooses the AES variant; an empty iv means sixteen zero bytes.
    CbcStream(Direction direction, std::string_view key, std::string_view iv = {});
    ~CbcStream();
    CbcStream(const CbcStream&) = delete;
    CbcStream& operator=(const CbcStream&) = delete;

    // Output room update() may need for length input bytes.
    static size_t outputCapacity(size_t length) { return length + 16; }
    // Processes length bytes into output (outputCapacity(length) bytes of room); returns the bytes written.
    size_t update(const char* input, size_t length, char* output);
    // The last block into output (16 bytes of room). Decrypting, a wrong padding (a wrong key or damaged
    // data) throws CryptoError.
    size_t finish(char* output);

    // Bytes an encrypted copy of length plaintext bytes takes: padding always adds 1 to 16 bytes.
    static uint64_t paddedSize(uint64_t length) { return (length / 16 + 1) * 16; }

private:
    struct ContextFree
    {
        void operator()(evp_cipher_ctx_st* context) const;
    };
    std::unique_ptr<evp_cipher_ctx_st, ContextFree> m_context;
    bool m_finished = false;
};

} // namespace backupcrypto
