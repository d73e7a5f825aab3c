// Which file a multimedia clip name from a test stands for, and why a name is
// refused. A test may come from anyone, so its clip names are held to the
// test's own folder:
//
// - A name is relative to the folder of the open test (SetTestFile). The
//   process's current folder is never searched, and a name with a full path
//   (a leading "/", a drive letter, a share "\\server\...") is refused.
// - Backslashes are folder separators, as in tests made on Windows:
//   "clips\a.wav" is clips/a.wav below the test's folder. Where no file has
//   the name's exact case, a single file whose name differs only in case is
//   taken ("Clip.WAV" finds clip.wav).
// - The name is followed component by component without leaving the folder:
//   ".." above the folder, and links whose targets lie outside it, are
//   refused before anything outside is looked at. So nothing outside the
//   folder is opened, read or even looked up (an automounted share or network
//   folder is never woken through a link).
// - Mount points. A test may itself lie on a USB stick under /media or on a
//   network share, and finds its clips beside it there. What is refused is a
//   name that goes from the test's folder into another mounted file system: a
//   folder or file below the test's folder whose device differs from the
//   folder's own. A bind mount of the same file system is not told apart.
// - A test in the root folder is treated like any other: its clips are the
//   names below "/" on the root's own file system.
// - The file reached must be a regular file (no folder, pipe, socket or
//   device), must not be the test file itself, must carry a known clip
//   extension, and its content must agree with that extension: a sound clip
//   holds sound, a video clip video, a MIDI file MIDI, judged from the bytes.
//   Playlists and stream descriptions, which point elsewhere, and MIDI files
//   whose tracks are broken are refused too.
#pragma once

#include <QString>

enum class TClipFault {
    None,
    NoName,        // the name is empty or blank
    Address,       // a URL or a device path
    FullPath,      // an absolute path, a drive letter or a share
    NoTestFolder,  // no test is open, or it has never been saved
    OutsideFolder, // ".." or a link leads out of the test's folder
    OtherMount,    // the name leads into another mounted file system
    Missing,       // no such file (or it cannot be read)
    NotAFile,      // a folder, pipe, socket or device
    TestFile,      // the test file itself
    UnknownKind,   // the extension is not a clip kind
    WrongContent,  // the content does not agree with the extension
    Unplayable,    // a playlist, or a MIDI file with broken tracks
};

struct TClipLookup
{
    // The file the name leads to inside the test's folder, absolute and free
    // of links and dots; set once the name has been followed to a file, also
    // when the file is then refused for its kind or content.
    QString Path;
    TClipFault Fault = TClipFault::None;

    bool Found() const { return Fault == TClipFault::None; }
};

// The test file that is open; clip names are looked for in its folder. Empty
// when no test is open or it has never been saved: then no clip is found.
void SetTestFile(const QString &fileName);
QString TestFile();
// The folder of TestFile(), absolute; empty without a test file.
QString TestFolder();

// Looks a clip name up as the test stores it.
TClipLookup LookUpClip(const QString &clipName);

// True for names that are never opened whatever exists: URLs and device
// paths.
bool IsAddressName(const QString &clipName);

// The name under which the open test would find `chosenFile`, relative to its
// folder with "/" separators; empty when the file lies outside the folder, in
// another mounted file system, or no test file is set.
QString ClipNameForFile(const QString &chosenFile);
