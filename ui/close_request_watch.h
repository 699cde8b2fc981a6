// Keeps the window system's close request that Qt would drop while a transfer blocks the window.
#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <functional>

class QWidget;

namespace quorvex {

// Qt drops a window system's close request for a window that a modal box blocks, and a transfer
// blocks its window with its prompts (and delivers a close that came in while it sent frames
// only when its last prompt is up). This sees the request before Qt does: `take` is asked for
// every close request of `window` and returns true when it took the request over.
class CloseRequestWatch : public QAbstractNativeEventFilter {
 public:
  CloseRequestWatch(QWidget& window, std::function<bool()> take);
  ~CloseRequestWatch() override;
  CloseRequestWatch(const CloseRequestWatch&) = delete;
  CloseRequestWatch& operator=(const CloseRequestWatch&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  bool IsCloseRequest(const QByteArray& eventType, void* message) const;

  QWidget& window_;
  std::function<bool()> take_;
  // X11: the close request is a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
  std::uint32_t protocolsAtom_ = 0;
  std::uint32_t deleteWindowAtom_ = 0;
};

}  // namespace quorvex
