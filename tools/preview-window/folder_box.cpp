#include "tools/preview-window/folder_box.h"

#include <shlobj.h>

#include "decoders/decoder_catalogue.h"
#include "hostenv/host_folders.h"
#include "tools/preview-window/code_page_text.h"
#include "tools/preview-window/preview_window.h"
#include "tools/preview-window/window_settings.h"

namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideFromCodePage(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The picker opens at the folder in the box.
int CALLBACK StartPickerAt(HWND picker, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && folder) {
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, folder);
    }
    return 0;
}

}  // namespace

HostDecoders FindHostDecoders() {
    HostDecoders host;
    PathText installFolder;
    if (!GetInstallFolder(installFolder, true) || installFolder.Empty()) {
        host.why = "The host's decoders were not found: no installation folder is recorded"
                   " (InstalledTo), so no file would be tagged.";
        return host;
    }
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    host.found = catalogue && catalogue->formats.count > 0;
    if (!host.found) {
        PathText decoderFolder;
        // A decoder folder whose name does not fit has none loaded from it.
        const char* where = GetInputPluginFolder(decoderFolder, true)
                                ? decoderFolder.CStr()
                                : "a decoder folder whose name is too long";
        host.why = std::string("The host's decoders were not found: no decoder in ") + where +
                   ", so no file would be tagged.";
    }
    return host;
}

void FolderBox::Create(const ControlMaker& maker) {
    parent_ = maker.parent;
    label_ = maker.Add("STATIC", "&Folder:", SS_LEFT, -1);
    edit_ = maker.Add("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kFolderEditId);
    browseButton_ = maker.Add("BUTTON", "&Browse...", WS_TABSTOP | BS_PUSHBUTTON, kBrowseButtonId);
    notice_.Create(maker, kNoticeTextId);
}

int FolderBox::Place(Placer& placer, int y, int boxX, int boxWidth) {
    placer.Move(label_, kMargin, y + 4, kLabelWidth, kRowHeight - 4);
    placer.Move(edit_, boxX, y, boxWidth, kRowHeight);
    placer.Move(browseButton_, boxX + boxWidth + kMargin, y, kButtonWidth, kRowHeight);
    return kRowHeight + kMargin;
}

int FolderBox::PlaceNotice(Placer& placer, int y, int boxX, int width) {
    return notice_.Place(placer, y, boxX, width - boxX - kMargin);
}

bool FolderBox::ShowNotice() {
    std::string text = problem_;
    if (shown_.empty()) {
        text = "Choose a folder whose files the patterns are to be tried on: type it into the"
               " Folder box or click Browse.";
    }
    if (!host_.found) text += (text.empty() ? "" : "\r\n") + host_.why;
    return notice_.Set(text);
}

bool FolderBox::ReadBox(bool evenIfShown) {
    return evenIfShown || WindowText(edit_) != shown_;
}

// A folder typed into the box is read when the box is left, as when Enter
// is pressed in it.
bool FolderBox::OnCommand(int id, int code) {
    if (id == kFolderEditId && code == EN_KILLFOCUS) return ReadBox(false);
    if (id == kBrowseButtonId && code == BN_CLICKED) return Browse();
    return false;
}

bool FolderBox::Browse() {
    const std::string current = WindowText(edit_);
    BROWSEINFOA info{};
    info.hwndOwner = parent_;
    info.lpszTitle = "Choose the folder whose files the pattern is to be tried on";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = StartPickerAt;
    info.lParam = IsFolder(current) ? reinterpret_cast<LPARAM>(current.c_str()) : 0;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    SetFocus(browseButton_);
    if (!chosen) return false;
    char folder[MAX_PATH] = "";
    const bool named = SHGetPathFromIDListA(chosen, folder);
    CoTaskMemFree(chosen);
    if (!named) return false;
    SetWindowTextA(edit_, folder);
    return true;
}

void FolderBox::StartWalk() {
    walk_.reset();
    ++serial_;
    shown_ = WindowText(edit_);
    problem_.clear();
    walking_ = !shown_.empty() && IsFolder(shown_);
    if (walking_) {
        StoreLastFolder(shown_);
        HWND parent = parent_;
        walk_ = std::make_unique<FolderWalk>(shown_, host_.found, [parent] {
            PostMessageA(parent, kFilesArrived, 0, 0);
        });
    } else if (!shown_.empty()) {
        // Only shown: the notice may cut a long name.
        problem_ = "There is no folder \"" + shown_ + "\".";
    }
}

void FolderBox::TakeFiles(std::vector<PreviewFile>& out) {
    if (!walk_) return;
    if (walk_->Take(out)) walking_ = false;
}
