// The folder Read of a large disc: thousands of playlists and clips, each clip
// with its stream file.
#include <filesystem>
#include <memory>

#include "bench.h"
#include "core/folder.h"
#include "core/report.h"
#include "demo/demo_disc.h"

namespace lumora::bench {
namespace {
namespace fs = std::filesystem;

constexpr int kEntries = 2000;

std::function<void()> largeDiscRead() {
    // The folder goes when the last copy of the pass is gone.
    std::shared_ptr<fs::path> root(new fs::path(fs::temp_directory_path() / "lumora-bench-folder"),
                                   [](fs::path* path) {
                                       std::error_code ec;
                                       fs::remove_all(*path, ec);
                                       delete path;
                                   });
    fs::remove_all(*root);
    const std::string folder = makeDemoDisc(root->string()).folder;
    for (int i = 2; i < kEntries; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%05d", i);
        fs::copy_file(folder + "PLAYLIST/00000.mpls", folder + "PLAYLIST/" + name + ".mpls",
                      fs::copy_options::overwrite_existing);
        fs::copy_file(folder + "CLIPINF/00000.clpi", folder + "CLIPINF/" + name + ".clpi");
        fs::copy_file(folder + "STREAM/00000.m2ts", folder + "STREAM/" + name + ".m2ts");
    }
    return [root, folder] {
        SilentSink sink;
        Reporter reporter(sink);
        DiscFolder disc;
        disc.folder = folder;
        readFolder(disc, reporter, {});
    };
}

const Register kFolderRead{
    {"folder Read, 2000 playlists+clips", largeDiscRead, "entries", kEntries}};

}  // namespace
}  // namespace lumora::bench
