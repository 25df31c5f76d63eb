// The program's side of the desktop clipboard under X11: one small thread with
// its own display connection owns the CLIPBOARD selection for the pictures
// the program puts there, answering TARGETS, TIMESTAMP, image/png and
// image/bmp (large ones through INCR), and fetches pictures other programs
// own. Private to platform/os; no X type appears here.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/os/PackedDib.h"

namespace os_detail {

class CX11Clipboard {
 public:
  // The process's clipboard connection, started on first use; null when
  // there is no X display to talk to.
  static CX11Clipboard* Instance();

  // Makes the picture the CLIPBOARD's content (null gives the selection up).
  // Returns the number of this publication, 0 when ownership was not gained.
  virtual std::uint64_t Publish(std::shared_ptr<const os::CRgbPicture> picture) = 0;
  // True while publication `number` still owns the selection (no other
  // program has taken the clipboard since).
  virtual bool StillOwns(std::uint64_t number) = 0;
  // True when the selection's owner, someone other than this program, offers
  // a picture (image/png or image/bmp among its TARGETS).
  virtual bool OtherOwnerOffersPicture() = 0;
  // Reads the picture another program owns (PNG preferred, then BMP).
  virtual bool FetchPicture(os::CRgbPicture& out) = 0;

 protected:
  virtual ~CX11Clipboard() = default;
};

}  // namespace os_detail
