#include "LineContent.h"

#include "LineFixtureBuilder.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

// The folder LINE keeps in its app group: the message stores of every account and their media.
constexpr const char* kGroupStoreFolder = "Library/Application Support/PrivateStore";

} // namespace

LineFixture fillLineContainers(const LineContainers& containers, const LineFixtureOptions& options)
{
    // The builder writes one mirrored app folder (the program's view of both containers merged); the
    // group's part then moves to the group container under the same relative path.
    LineFixture fixture = LineFixtureBuilder::build(QString::fromStdString(containers.appFolder), options);
    const fs::path from = fs::path(containers.appFolder) / kGroupStoreFolder;
    const fs::path to = fs::path(containers.groupFolder) / kGroupStoreFolder;
    std::error_code error;
    if (!fs::exists(from, error))
        return fixture; // the older layouts keep their store in the app container
    fs::create_directories(to.parent_path(), error);
    fs::remove_all(to, error);
    fs::rename(from, to, error);
    if (error)
        throw std::runtime_error("cannot move LINE's store into the group container: " + error.message());
    return fixture;
}

std::function<void(const LineContainers&)> lineFixtureFiller(const LineFixtureOptions& options)
{
    return [options](const LineContainers& containers) { fillLineContainers(containers, options); };
}

} // namespace iphonesim
