#pragma once

#include "DeviceGenerator.h"
#include "LineFixture.h"
#include "LineFixtureOptions.h"

#include <functional>

namespace iphonesim {

// LINE's two containers filled by the LINE fixture builder, the way LINE's app lays out its files: the
// message store folder "Library/Application Support/PrivateStore" (Line.sqlite, UnifiedGroup.sqlite,
// attachments) in the group container, everything else (preferences, caches) in the app container. Throws
// std::runtime_error when the content cannot be written. Returns what the builder made (its paths are those
// of the mirrored app folder, the program's view of both containers merged).
LineFixture fillLineContainers(const LineContainers& containers, const LineFixtureOptions& options);

// The same as a GeneratorOptions::fillLine callback.
std::function<void(const LineContainers&)> lineFixtureFiller(const LineFixtureOptions& options);

} // namespace iphonesim
