// Base of the drawing objects that a device context selects (pens, brushes,
// fonts, bitmaps, regions). An object keeps its own description; selecting it
// into a device context copies or shares that description, so deleting an object
// that is still selected never leaves the context pointing at freed memory.
#pragma once

#include "platform/gfx/Gdi.h"

class CGdiObject {
 public:
  enum class Kind { Pen, Brush, Font, Bitmap, Region };

  virtual ~CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  Kind GetKind() const { return m_kind; }
  // Non-null once the object was created (the stand-in for a handle test).
  const void* GetSafeHandle() const { return IsCreated() ? this : nullptr; }
  virtual BOOL IsCreated() const = 0;
  // Releases what the object describes; it can be created again afterwards.
  virtual BOOL DeleteObject() = 0;

 protected:
  explicit CGdiObject(Kind kind) : m_kind(kind) {}

 private:
  Kind m_kind;
};

// The shared stock object for an index (WHITE_BRUSH, NULL_PEN, DEFAULT_GUI_FONT ...);
// null for an unknown index. Stock objects live for the whole process.
CGdiObject* GetStockObject(int index);
