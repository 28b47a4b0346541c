// libbluray as an independent reader: the demo disc's BD-J object, with its
// application, parses there as it parses here.
#include <gtest/gtest.h>
#include <libbluray/bluray.h>

#include "bdj/bdjo_file.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora {
namespace {

TEST(LibblurayBdjo, ParsesTheDemoObject) {
    test::TempDir dir;
    const std::string path = makeDemoDisc(dir.path().string()).folder + "BDJO/00001.bdjo";
    bdjo_data* parsed = bd_read_bdjo(path.c_str());
    EXPECT_NE(parsed, nullptr);
    if (parsed != nullptr) bd_free_bdjo(parsed);
    TBDJO ours;
    ASSERT_TRUE(parseBdjo(readFileBytes(path), "00001.bdjo", ours).good());
    ASSERT_EQ(ours.applications.applications.size(), 1u);
    EXPECT_EQ(ours.applications.applications[0].initialClassName, "lumora.demo.GameXlet");
}

}  // namespace
}  // namespace lumora
