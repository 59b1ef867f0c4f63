// The record and scheme subcommands of huewright-tool, run as a user would run them.

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/RecordTestSupport.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

namespace hw {
namespace {

using test::runTool;
using test::ToolRun;

std::string data(const std::string& name) { return std::string("'") + HW_TEST_DATA + "/" + name + "'"; }

TEST(RecordTool, EverySubcommand) {
    ASSERT_TRUE(ensureFolders());
    const std::string record = "initialise,?B1b$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479),%%,images:endData";

    ToolRun run = runTool("record-block " + data("records/image-ahead.txt"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "data\n" + record + "\n\n");

    run = runTool("frameset-block " + data("records/frames.txt"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("frameC[0]\n", 0), 0u);
    EXPECT_EQ(run.out.find("file:"), std::string::npos);

    run = runTool("image-request " + data("records/image-after.txt"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "/home/u/site/pics/a b.jpg");

    const std::string out = tempFolder() + "/tool.wsm";
    run = runTool("write-scheme " + data("schemes/worked/index.htm") + " " + data("records/single.txt") + " '" + out + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::readAll(out), test::readAll(std::string(HW_TEST_DATA) + "/schemes/worked/expected.wsm"));

    run = runTool("write-scheme " + data("schemes/frameset/index.htm") + " " + data("records/frames.txt") + " '" + out + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::readAll(out), test::readAll(std::string(HW_TEST_DATA) + "/schemes/frameset/expected.wsm"));

    // Merging the record a scheme was written from changes nothing.
    const std::string merged = tempFolder() + "/tool-merged.wsm";
    run = runTool("merge " + data("schemes/worked/expected.wsm") + " " + data("records/single.txt") + " '" + merged + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::readAll(merged), test::readAll(std::string(HW_TEST_DATA) + "/schemes/worked/expected.wsm"));
    run = runTool("merge '" + out + "' " + data("records/frames.txt") + " '" + merged + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(test::readAll(merged).find("frameC[1]\r\ninitialise,?C3p$C$"), std::string::npos);
}

TEST(RecordTool, BadArgumentsAndUnreadableInputs) {
    ASSERT_TRUE(ensureFolders());
    const std::string missing = "'" + tempFolder() + "/no-such-file'";
    const std::string target = " '" + tempFolder() + "/bad.wsm'";
    const std::vector<std::string> calls = {
        "record-block", "record-block a b", "frameset-block " + missing, "image-request " + missing,
        "write-scheme " + missing + " " + missing + target,
        "write-scheme " + data("schemes/worked/index.htm") + " " + data("records/single.txt") + " '" + tempFolder() + "/no/such/dir/x.wsm'",
        "merge " + missing + " " + data("records/single.txt") + target, "merge a"};
    for (const auto& arguments : calls) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
}

} // namespace
} // namespace hw
