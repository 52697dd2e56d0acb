#pragma once

// The small interfaces through which the document reaches the platform: its
// views, the clock, message boxes, the wait after a progress update, the
// caption, and the picture that "Save ALL as BMP" writes. The desktop
// application implements them with Qt; the command line and the tests with
// plain code.

#include <cstdint>
#include <string>
#include <vector>

// A view of the document. OnUpdate is called synchronously with the update hint:
//   0 New (and after every New and Open): show the settings again
//   1 Open, or new settings: rebuild the picture
//   2 cells changed: paint the known cells
//   3 a solve begins: clear the picture to grid and clues
class IDocView {
  public:
    virtual ~IDocView() = default;
    virtual void OnUpdate(int nHint) = 0;
};

// Milliseconds from a monotonic clock, read as unsigned 32-bit: all timing is
// differences of two readings, modulo 2^32.
class ITickSource {
  public:
    virtual ~ITickSource() = default;
    virtual uint32_t GetTickCount() = 0;
};

enum class MessageKind { Information, Error };

// A modal notice with one OK button.
class IMessageSink {
  public:
    virtual ~IMessageSink() = default;
    virtual void ShowMessage(MessageKind kind, const std::string& strText, const std::string& strCaption) = 0;
};

// Called after each progress update of a solve, on the solving thread. The
// desktop lets the window repaint here; it must return without waiting for
// the user.
class IEventWait {
  public:
    virtual ~IEventWait() = default;
    virtual void AfterProgressUpdate() = 0;
    // Called by Solve between two lines when the document was asked for an
    // input pass (CTabulonDoc::RequestInputPass): the desktop handles the
    // input that is waiting, so Esc and closing the window work whatever the
    // progress throttle lets through.
    virtual void LetInputThrough() {}
};

// Receives the document title whenever it changes.
class ITitleSink {
  public:
    virtual ~ITitleSink() = default;
    virtual void OnTitleChanged(const std::string& strTitle) = 0;
};

// The rendered picture of the grid view, read by "Save ALL as BMP".
class IPicture {
  public:
    virtual ~IPicture() = default;
    // Packed 24-bit rows, top row first, blue-green-red, no padding. False
    // with a message when the picture cannot be read.
    virtual bool GetPixels(int& nWidth, int& nHeight, std::vector<uint8_t>& pixels, std::string& strError) const = 0;
};

// The ports a document talks through. A missing port is skipped: no clock
// reads 0, no message sink stays silent, no wait returns at once.
struct DocPorts {
    ITickSource* pClock = nullptr;
    IMessageSink* pMessages = nullptr;
    IEventWait* pWait = nullptr;
    ITitleSink* pTitle = nullptr;
};
