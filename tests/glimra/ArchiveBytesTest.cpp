// Object records of the annotation archive against bytes written out by hand:
// every field holds a value of its own, so two swapped fields show, and the
// bytes must load into the expected fields and save back unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "glimra/AnnotateBrush.h"
#include "glimra/AnnotateLine.h"
#include "glimra/AnnotateText.h"
#include "glimra/MemoryArchive.h"

namespace {

struct Bytes {
  std::vector<BYTE> b;
  Bytes& u32(DWORD v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<BYTE>(v >> (8 * i)));
    return *this;
  }
  Bytes& f32(float f) {
    DWORD v = 0;
    std::memcpy(&v, &f, 4);
    return u32(v);
  }
  // Length with the terminating NUL, the characters, the NUL; 0 alone when empty.
  Bytes& str(const std::string& s) {
    if (s.empty()) return u32(0);
    u32(static_cast<DWORD>(s.size() + 1));
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
    return *this;
  }
  Bytes& raw(const void* p, size_t n) {
    const auto* c = static_cast<const BYTE*>(p);
    b.insert(b.end(), c, c + n);
    return *this;
  }
};

// The common block: version 2, type, style, transparency, two reserved values,
// colour, outline colour, outline size, reserved float, rectangle as left,
// top, bottom, right, comment.
Bytes Common(DWORD type, const char* comment) {
  Bytes c;
  c.u32(2).u32(type).u32(0x51).u32(37).u32(0xA1A2A3A4).u32(0xB1B2B3B4);
  c.u32(0x00332211).u32(0x00665544).u32(3).f32(2.5f);
  c.u32(100).u32(200).u32(300).u32(400);  // left 100, top 200, bottom 300, right 400
  c.str(comment);
  return c;
}

// Loads one object record the way a list does: the common block, then the
// kind's block into an object made from it.
template <typename Kind>
std::unique_ptr<Kind> LoadRecord(std::vector<BYTE> bytes, DWORD* left = nullptr) {
  CMemoryArchive ar(bytes.data(), static_cast<DWORD>(bytes.size()));
  CAnnotateObject common;
  if (!common.Load(ar)) return nullptr;
  auto object = std::make_unique<Kind>(common);
  if (!object->Load(ar)) return nullptr;
  if (left) *left = ar.GetRemaining();
  return object;
}

std::vector<BYTE> SaveRecord(CAnnotateObject& object) {
  CMemoryArchive ar(object.CalculateDataSize(), TRUE);
  if (!object.Save(ar)) return {};
  return std::vector<BYTE>(ar.GetBuffer(), ar.GetBuffer() + ar.GetBufferSize());
}

void ExpectCommon(const CAnnotateObject& o, DWORD type, const char* comment) {
  EXPECT_EQ(o.GetType(), type);
  EXPECT_EQ(o.GetStyle(), 0x51u);
  EXPECT_EQ(o.GetTransparency(), 37u);
  EXPECT_EQ(o.GetColor(), 0x00332211u);
  EXPECT_EQ(o.GetOutlineColor(), 0x00665544u);
  EXPECT_EQ(o.GetOutlineSize(), 3u);
  EXPECT_EQ(o.GetReservedFloat(), 2.5f);
  EXPECT_EQ(o.GetRect(), CRect(100, 200, 400, 300));
  EXPECT_EQ(o.GetComment(), comment);
}

}  // namespace

TEST(ArchiveBytes, BrushBlockFieldByField) {
  Bytes b = Common(1, "Brush");
  // version 1, n = 6 values, index 4, scale x 1.5, scale y 0.25, offset (-7, 9), points.
  b.u32(1).u32(6).u32(4).f32(1.5f).f32(0.25f).u32(static_cast<DWORD>(-7)).u32(9);
  b.u32(11).u32(12).u32(13).u32(14).u32(static_cast<DWORD>(-15)).u32(16);
  ASSERT_EQ(b.b.size(), 60u + 6u + 28u + 24u);
  DWORD left = 99;
  auto brush = LoadRecord<CAnnotateBrush>(b.b, &left);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(left, 0u);
  ExpectCommon(*brush, 1, "Brush");
  EXPECT_EQ(brush->GetBrushIndex(), 4);
  EXPECT_EQ(brush->BrushSize(), 13);
  EXPECT_EQ(brush->GetScaleX(), 1.5f);
  EXPECT_EQ(brush->GetScaleY(), 0.25f);
  EXPECT_EQ(brush->GetOffset(), CPoint(-7, 9));
  ASSERT_EQ(brush->GetSize(), 3);
  EXPECT_EQ(brush->GetAt(0), CPoint(11, 12));
  EXPECT_EQ(brush->GetAt(1), CPoint(13, 14));
  EXPECT_EQ(brush->GetAt(2), CPoint(-15, 16));
  EXPECT_EQ(brush->CalculateDataSize(), b.b.size());
  EXPECT_EQ(SaveRecord(*brush), b.b);  // reserved values carried, every field in place
}

TEST(ArchiveBytes, LineBlockFieldByField) {
  Bytes b = Common(3, "");
  // version 1, origin (21, 22), end (23, 24), width 7, reserved.
  b.u32(1).u32(21).u32(22).u32(23).u32(24).u32(7).u32(0);
  ASSERT_EQ(b.b.size(), 60u + 28u);
  auto line = LoadRecord<CAnnotateLine>(b.b);
  ASSERT_NE(line, nullptr);
  ExpectCommon(*line, 3, "");
  EXPECT_EQ(line->GetOrigin(), CPoint(21, 22));
  EXPECT_EQ(line->GetEnd(), CPoint(23, 24));
  EXPECT_EQ(line->GetWidth(), 7);
  EXPECT_EQ(SaveRecord(*line), b.b);
  // The reserved value is ignored on reading and written as 0.
  std::vector<BYTE> odd = b.b;
  odd[odd.size() - 4] = 0x5A;
  auto again = LoadRecord<CAnnotateLine>(odd);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(SaveRecord(*again), b.b);
}

TEST(ArchiveBytes, TextBlockFieldByField) {
  LOGFONTA lf{};
  lf.lfHeight = -17;
  lf.lfWidth = 6;
  lf.lfEscapement = 1;
  lf.lfOrientation = 2;
  lf.lfWeight = 700;
  lf.lfItalic = 1;
  lf.lfUnderline = 0;
  lf.lfStrikeOut = 1;
  lf.lfCharSet = 3;
  lf.lfOutPrecision = 4;
  lf.lfClipPrecision = 5;
  lf.lfQuality = 6;
  lf.lfPitchAndFamily = 34;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  Bytes b = Common(0, "Hi");
  // version 5, text colour, format word (DrawText flags 0x25, margin 9 in bits 16-23), font.
  b.u32(5).u32(0x00998877).u32(0x00090025).raw(&lf, 60);
  // Shape: extra value, 15 scripts, name, then the scripts by index.
  b.u32(0x77).u32(15).str("Cloud");
  std::vector<std::string> scripts(15);
  scripts[0] = "RECT 0 0 W H";
  scripts[6] = "CLIPRECT 2 2 W H";
  scripts[14] = "spare";
  for (const std::string& s : scripts) b.str(s);
  auto text = LoadRecord<CAnnotateText>(b.b);
  ASSERT_NE(text, nullptr);
  ExpectCommon(*text, 0, "Hi");
  EXPECT_EQ(text->GetTextColor(), 0x00998877u);
  EXPECT_EQ(text->GetFormat(), 0x25u);
  EXPECT_EQ(text->GetTextMargin(), 9);
  EXPECT_EQ(text->GetTextOutline(), 2);
  EXPECT_EQ(std::memcmp(&text->GetLogFont(), &lf, 60), 0);
  const CScriptShape& shape = text->GetScriptShape();
  EXPECT_EQ(shape.GetExtra(), 0x77u);
  EXPECT_EQ(shape.GetName(), "Cloud");
  for (int i = 0; i < 15; ++i) EXPECT_EQ(shape.GetScript(i), scripts[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(text->CalculateDataSize(), b.b.size());
  EXPECT_EQ(SaveRecord(*text), b.b);

  // The short form (version 1) ends after the font.
  Bytes shortForm = Common(0, "Hi");
  shortForm.u32(1).u32(0x00998877).u32(0x00090025).raw(&lf, 60);
  DWORD left = 99;
  auto old = LoadRecord<CAnnotateText>(shortForm.b, &left);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(old->GetTextMargin(), 9);
  EXPECT_EQ(old->GetFormat(), 0x25u);
}
