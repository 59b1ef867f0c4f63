#include "editor/EditorList.h"

#include "base/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

/// A fresh folder for one test, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        const char* home = std::getenv("HUEWRIGHT_HOME");
        fs::path base = home && *home ? fs::path(home) : fs::temp_directory_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = base / "editor-list" / (std::string(info->test_suite_name()) + "." + info->name() + "." +
                                         std::to_string(::getpid()));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    std::string path() const { return m_path.string(); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

const std::string kFirstEditor = "/usr/bin/gedit";
std::string firstEditor() { return kFirstEditor; }

void makeProgram(const std::string& path, bool executable) {
    fs::create_directories(fs::path(path).parent_path());
    hw::writeFileBytes(path, "#!/bin/sh\n");
    ::chmod(path.c_str(), executable ? 0755 : 0644);
}

} // namespace

TEST(EditorList, FirstStartWritesOneEditorAndIndexZero) {
    ScratchFolder folder;
    hw::EditorList list(folder.path());
    ASSERT_TRUE(list.setUp(firstEditor));
    EXPECT_EQ(list.items(), std::vector<std::string>{kFirstEditor});
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(hw::readFileOrEmpty(folder.file("edit.dat")), kFirstEditor + "\r\n");
    EXPECT_EQ(hw::readFileOrEmpty(folder.file("editIndex.dat")), "0");
    EXPECT_EQ(hw::editMenuCaption(hw::editorName(list.selectedPath())), "Edit &with gedit");
}

TEST(EditorList, FirstStartWhenIndexIsMinusOneOrNoNumber) {
    for (const std::string index : {"-1", "", "abc", " x1"}) {
        SCOPED_TRACE("editIndex.dat: '" + index + "'");
        ScratchFolder folder;
        hw::writeFileBytes(folder.file("edit.dat"), "/opt/a\r\n/opt/b\r\n");
        hw::writeFileBytes(folder.file("editIndex.dat"), index);
        hw::EditorList list(folder.path());
        ASSERT_TRUE(list.setUp(firstEditor));
        EXPECT_EQ(list.items(), std::vector<std::string>{kFirstEditor});
        EXPECT_EQ(hw::readFileOrEmpty(folder.file("edit.dat")), kFirstEditor + "\r\n");
        EXPECT_EQ(hw::readFileOrEmpty(folder.file("editIndex.dat")), "0");
    }
}

TEST(EditorList, StoredListAndIndexAreRead) {
    ScratchFolder folder;
    hw::writeFileBytes(folder.file("edit.dat"), "/opt/a\r\n/opt/my editor/b\r\n");
    hw::writeFileBytes(folder.file("editIndex.dat"), "1");
    hw::EditorList list(folder.path());
    ASSERT_TRUE(list.setUp([]() -> std::string {
        ADD_FAILURE() << "a usable list must not be set up again";
        return {};
    }));
    EXPECT_EQ(list.items(), (std::vector<std::string>{"/opt/a", "/opt/my editor/b"}));
    EXPECT_EQ(list.selectedPath(), "/opt/my editor/b");
    EXPECT_EQ(hw::readFileOrEmpty(folder.file("edit.dat")), "/opt/a\r\n/opt/my editor/b\r\n");
}

TEST(EditorList, BrokenListFallsBackToFirstStart) {
    struct Case {
        const char* what;
        const char* index;
        const char* list; // nullptr: no edit.dat
        bool listIsFolder;
    };
    const Case cases[] = {
        {"no edit.dat", "0", nullptr, false},
        {"edit.dat cannot be read", "0", nullptr, true},
        {"empty edit.dat", "0", "", false},
        {"index past the end", "2", "/opt/a\r\n/opt/b\r\n", false},
        {"negative index", "-2", "/opt/a\r\n", false},
        {"index too large for an int", "99999999999999999999", "/opt/a\r\n", false},
        {"only blank lines", "0", "\r\n\r\n\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        hw::writeFileBytes(folder.file("editIndex.dat"), c.index);
        if (c.listIsFolder) fs::create_directories(folder.file("edit.dat"));
        else if (c.list) hw::writeFileBytes(folder.file("edit.dat"), c.list);

        hw::EditorList list(folder.path());
        const hw::Status saved = list.setUp(firstEditor);
        EXPECT_EQ(list.items(), std::vector<std::string>{kFirstEditor});
        EXPECT_EQ(list.selected(), 0);
        EXPECT_EQ(list.selectedPath(), kFirstEditor);
        EXPECT_EQ(hw::readFileOrEmpty(folder.file("editIndex.dat")), "0");
        if (!c.listIsFolder) {
            EXPECT_TRUE(saved);
            EXPECT_EQ(hw::readFileOrEmpty(folder.file("edit.dat")), kFirstEditor + "\r\n");
        } else {
            // The folder in the way cannot be replaced by a file: the failure is reported.
            EXPECT_FALSE(saved);
            EXPECT_NE(saved.error().find("edit.dat"), std::string::npos) << saved.error();
        }
    }
}

TEST(EditorList, AddingAListedPathAddsACopyAndSelectsTheFirst) {
    ScratchFolder folder;
    hw::EditorList list(folder.path());
    ASSERT_TRUE(list.setUp(firstEditor));
    ASSERT_TRUE(list.add("/opt/html edit/htmledit"));
    EXPECT_EQ(list.selected(), 1);
    ASSERT_TRUE(list.add(kFirstEditor));
    EXPECT_EQ(list.items(), (std::vector<std::string>{kFirstEditor, "/opt/html edit/htmledit", kFirstEditor}));
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(hw::readFileOrEmpty(folder.file("edit.dat")),
              kFirstEditor + "\r\n/opt/html edit/htmledit\r\n" + kFirstEditor + "\r\n");
    // The chosen index is saved only by OK.
    EXPECT_EQ(hw::readFileOrEmpty(folder.file("editIndex.dat")), "0");
    list.select(1);
    ASSERT_TRUE(list.saveIndex());
    EXPECT_EQ(hw::readFileOrEmpty(folder.file("editIndex.dat")), "1");

    hw::EditorList again(folder.path());
    ASSERT_TRUE(again.setUp(firstEditor));
    EXPECT_EQ(again.items(), list.items());
    EXPECT_EQ(again.selectedPath(), "/opt/html edit/htmledit");
}

TEST(EditorList, RemovingSelectsTheFirstRemainingUntilEmpty) {
    ScratchFolder folder;
    hw::EditorList list(folder.path());
    ASSERT_TRUE(list.setUp(firstEditor));
    ASSERT_TRUE(list.add("/opt/b"));
    ASSERT_TRUE(list.add("/opt/c"));
    ASSERT_EQ(list.selected(), 2);
    ASSERT_TRUE(list.removeSelected());
    EXPECT_EQ(list.items(), (std::vector<std::string>{kFirstEditor, "/opt/b"}));
    EXPECT_EQ(list.selected(), 0);
    ASSERT_TRUE(list.removeSelected());
    EXPECT_EQ(list.selectedPath(), "/opt/b");
    ASSERT_TRUE(list.removeSelected());
    EXPECT_TRUE(list.items().empty());
    EXPECT_EQ(list.selected(), -1);
    EXPECT_EQ(list.selectedPath(), "");
    EXPECT_EQ(hw::readFileOrEmpty(folder.file("edit.dat")), "");
    EXPECT_TRUE(list.removeSelected()); // nothing left: nothing happens
    EXPECT_TRUE(list.items().empty());
}

TEST(EditorList, ReadsLfAndCrLfLines) {
    EXPECT_EQ(hw::parseEditorList("/a\r\n/b\n/c"), (std::vector<std::string>{"/a", "/b", "/c"}));
    EXPECT_EQ(hw::parseEditorList("/a\r\n\r\n/b\r\n"), (std::vector<std::string>{"/a", "/b"}));
    EXPECT_TRUE(hw::parseEditorList("").empty());
}

TEST(EditorList, IndexText) {
    const std::pair<const char*, int> rows[] = {
        {"0", 0}, {"12", 12}, {" 3", 3}, {"4\r\n", 4}, {"5abc", 5}, {"-1", -1}, {"+2", 2},
        {"", -1}, {"x", -1}, {"-", -1}, {"2147483647", 2147483647}, {"2147483648", -1},
    };
    for (const auto& [text, index] : rows) EXPECT_EQ(hw::parseEditorIndex(text), index) << "'" << text << "'";
}

TEST(EditorName, FourCharactersGoFromTheFirstDot) {
    const std::pair<const char*, const char*> rows[] = {
        {"/usr/bin/gedit", "gedit"},
        {"/opt/Notepad.exe", "Notepad"},
        {"/opt/tools/my.editor.exe", "mytor.exe"},
        {"/opt/html edit/htmledit.run", "htmledit"},
        {"/opt/a.b", "a"},
        {"/home/u/.local/bin/edit-page", "edit-page"},
        {"xdg-open", "xdg-open"},
        {"", ""},
    };
    for (const auto& [path, name] : rows) {
        EXPECT_EQ(hw::editorName(path), name) << path;
    }
    EXPECT_EQ(hw::editMenuCaption("mytor.exe"), "Edit &with mytor.exe");
    EXPECT_EQ(hw::editHint("htmledit"), "Edit with htmledit");
}

TEST(DefaultEditor, FirstKnownEditorOnThePath) {
    ScratchFolder folder;
    const std::string a = folder.file("a"), b = folder.file("b"), c = folder.file("c");
    makeProgram(a + "/kate", true);
    makeProgram(a + "/gnome-text-editor", false); // not executable: not installed
    makeProgram(b + "/gedit", true);
    makeProgram(c + "/xdg-open", true);
    fs::create_directories(c + "/mousepad"); // a folder, not a program

    EXPECT_EQ(hw::defaultEditorPath(a + ":" + b + ":" + c), b + "/gedit");
    EXPECT_EQ(hw::defaultEditorPath(a + ":" + c), a + "/kate");
    EXPECT_EQ(hw::defaultEditorPath("::" + c + ":"), c + "/xdg-open");
    EXPECT_EQ(hw::defaultEditorPath(""), "/usr/bin/xdg-open");
    EXPECT_EQ(hw::defaultEditorPath("relative/bin"), "/usr/bin/xdg-open");
}
