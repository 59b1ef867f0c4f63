#pragma once

#include "base/Result.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

/// The list of external HTML editors the user can open a page in, kept in two files of the
/// settings folder:
///  - "edit.dat": one full program path per line, each line ending in CR LF, in list order;
///  - "editIndex.dat": the index of the chosen editor as decimal digits without a line end.
///    -1 (or a missing file, or one that does not start with a number) means the list has not
///    been set up yet.
///
/// The list and its selection mirror the editor dialog's drop-down list: the dialog shows
/// `items()` and keeps `selected()` in step with its own selection.
class EditorList {
public:
    /// `folder` holds the two files; it is created when a file is written.
    explicit EditorList(std::string folder);

    /// Reads the two files. On a first start, and whenever the stored list cannot be used (no
    /// readable "edit.dat", or an index outside the list), the list becomes the one editor
    /// that `firstEditor` gives, selected, and both files are written anew. Fails when a file
    /// had to be written and could not be.
    Status setUp(const std::function<std::string()>& firstEditor);

    const std::vector<std::string>& items() const { return m_items; }
    /// Index of the selected editor; -1 only while the list is empty.
    int selected() const { return m_selected; }
    /// Selects an item; an index outside the list is ignored.
    void select(int index);
    /// The selected editor's full path; empty while the list is empty.
    std::string selectedPath() const;

    /// Appends `path`, selects the first item equal to it (so adding a path that is already
    /// listed selects the earlier copy) and writes "edit.dat". The chosen index is not saved.
    Status add(const std::string& path);
    /// Deletes the selected item, selects the first remaining one and writes "edit.dat".
    /// Does nothing on an empty list.
    Status removeSelected();
    /// Writes the selected index to "editIndex.dat".
    Status saveIndex() const;

    std::string listFile() const;
    std::string indexFile() const;

private:
    Status saveList() const;
    void firstStart(const std::string& editor);

    std::string m_folder;
    std::vector<std::string> m_items;
    int m_selected = -1;
};

/// The index stored in "editIndex.dat": the decimal integer its text starts with (after
/// leading blanks), or -1 when there is none or it does not fit an int.
int parseEditorIndex(std::string_view text);

/// The items of "edit.dat": one per line, CR LF or LF ends; empty lines are no items.
std::vector<std::string> parseEditorList(std::string_view text);

/// The name the Edit menu shows for an editor: the file-name part of its path with four
/// characters removed from the first "." on (the dot and a three-letter extension), so
/// "htmledit.exe" gives "htmledit" and "my.editor.exe" gives "mytor.exe". A name without a
/// dot stays whole.
std::string editorName(std::string_view path);
/// "Edit &with " + name: the Edit menu item's caption.
std::string editMenuCaption(std::string_view name);
/// "Edit with " + name: the edit tool button's hint.
std::string editHint(std::string_view name);

/// Desktop text editors looked for on a first start, in order of preference.
const std::vector<std::string>& knownEditors();
/// The full path of the first of `knownEditors()` found as an executable file in one of the
/// folders of `searchPath` (a PATH value, folders separated by ":"); else the full path of
/// xdg-open found there; else "/usr/bin/xdg-open".
std::string defaultEditorPath(std::string_view searchPath);
/// defaultEditorPath of the process's PATH.
std::string defaultEditorPath();

} // namespace hw
