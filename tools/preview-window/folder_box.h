// The folder whose files are listed: its box, Browse, the walk that reads
// it, and the notice that says what is wrong with it or with the host's
// decoders.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/preview-window/folder_walk.h"
#include "tools/preview-window/note_area.h"
#include "tools/preview-window/window_controls.h"

// Whether the plugin would find any of the host's decoders, and if not, why,
// in a user's words.
struct HostDecoders {
    bool found = false;
    std::string why;
};

HostDecoders FindHostDecoders();

class FolderBox {
public:
    explicit FolderBox(HostDecoders host) : host_(std::move(host)) {}
    // The walk first: it only posts to the window, never waits for it.
    ~FolderBox() { walk_.reset(); }
    FolderBox(const FolderBox&) = delete;
    FolderBox& operator=(const FolderBox&) = delete;

    void Create(const ControlMaker& maker);
    HWND Edit() const { return edit_; }
    // The box and Browse after it; the notice, on a line of its own. Each
    // gives the height it used.
    int Place(Placer& placer, int y, int boxX, int boxWidth);
    int PlaceNotice(Placer& placer, int y, int boxX, int width);
    // True when the notice changed, and with it perhaps the layout.
    bool ShowNotice();

    // Each true when the folder in the box is to be read: the caller
    // empties the list, then calls StartWalk.
    // Enter reads the folder again; leaving the box reads it only when it
    // names another folder than the one shown.
    bool ReadBox(bool evenIfShown);
    bool OnCommand(int id, int code);
    void StartWalk();
    bool Walking() const { return walking_; }
    // Moves the files found since the last call into out.
    void TakeFiles(std::vector<PreviewFile>& out);
    // Every folder read is a new one.
    std::uint32_t Serial() const { return serial_; }

private:
    // The folder picker, opened at the folder in the box; true when one was
    // chosen.
    bool Browse();

    HostDecoders host_;
    HWND parent_ = nullptr;
    HWND label_ = nullptr, edit_ = nullptr, browseButton_ = nullptr;
    NoteArea notice_;
    std::string shown_;    // the folder whose files the list holds
    std::string problem_;
    std::unique_ptr<FolderWalk> walk_;
    bool walking_ = false;
    std::uint32_t serial_ = 0;
};
