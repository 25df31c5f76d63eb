// The annotation set of one capture: its lists in ascending start order, the
// display list of the lists on screen at the current replay time, drawing into
// frames, and the editing services (picking, handles, list editing).
//
// The player uses: Load(archive, TRUE), RemoveAll, UpdateAnnotationDisplayList,
// ProcessIntersect and RenderAnnotation, from one thread; the set holds no locks.
#pragma once

#include <string>
#include <vector>

#include "glimra/AnnotateList.h"
#include "glimra/ClipRangeList.h"
#include "glimra/HandleBox.h"
#include "glimra/MemoryArchive.h"

class CAnnotateData {
 public:
  static constexpr const char* kSignature = "Kalvo Annotation Data";
  static constexpr DWORD kHeaderVersion = 10;
  static constexpr DWORD kListVersion = 1;
  // Largest list count accepted from an archive (before the bytes check).
  static constexpr DWORD kMaxLists = 1u << 20;

  CAnnotateData();
  ~CAnnotateData();
  CAnnotateData(const CAnnotateData&) = delete;
  CAnnotateData& operator=(const CAnnotateData&) = delete;

  // Archive (see docs/annotation-archive.md). A failed Load leaves the set empty.
  BOOL Load(CMemoryArchive& archive, BOOL replace);
  BOOL Load(const char* path, BOOL replace);
  BOOL Save(CMemoryArchive& archive);
  BOOL Save(const char* path);
  BOOL SaveHeader(CMemoryArchive& archive, DWORD count);
  BOOL SaveFromTo(CMemoryArchive& archive, DWORD from, DWORD to);
  BOOL SaveFromTo(CMemoryArchive& archive, const CClipRangeList& ranges);
  DWORD CalculateHeaderSize() const;
  DWORD CalculateDataSize();
  BOOL Paste(CMemoryArchive& archive) { return Load(archive, TRUE); }
  BOOL PasteList(CMemoryArchive& archive, DWORD start);
  static BOOL CheckForAnnotation(const BYTE* data, DWORD size);

  void RemoveAll();

  // Brings the display list to time t; the frame area that changed (empty when
  // nothing did). added, when given, receives the last list that came on screen.
  CRect UpdateAnnotationDisplayList(DWORD time, CAnnotateList** added);
  CRect ResetAnnotationDisplayList() { return UpdateAnnotationDisplayList(0, nullptr); }
  // Widens a changed frame area by what magnifying boxes on screen show of it.
  CRect ProcessIntersect(const CRect& changed);
  // Draws the displayed lists into the 16-bit frame over update (window
  // pixels), then the editing frame around the picked object. TRUE.
  BOOL RenderAnnotation(BYTE* frame, BYTE* source, const BITMAPINFO* header, const CRect& update, const CSize& window,
                        BOOL antiAlias);
  // TRUE when the list is visible at time t.
  BOOL IsVisible(const CAnnotateList* list, DWORD time) const;

  CAnnotateList* AddNew(DWORD start);
  CAnnotateList* Lookup(DWORD start) const;
  CAnnotateList* GetList(DWORD start) const { return Lookup(start); }
  CAnnotateList* DisplayLookup(DWORD start) const;
  BOOL DisplayLookup(const CAnnotateList* list) const;
  void AddDisplay(CAnnotateList* list);
  int GetListCount() const { return static_cast<int>(m_lists.size()); }
  CAnnotateList* GetListAt(int i) const;
  int GetDisplayListCount() const { return static_cast<int>(m_display.size()); }
  CAnnotateList* GetDisplayListAt(int i) const;
  CRect GetDisplayListRect() const;

  // Editing; each rectangle is in window pixels.
  CRect DeleteList(CAnnotateList* list);
  CRect DeleteObject(CAnnotateList* list, CAnnotateObject* object);
  CRect Pick(const CPoint& pt, const BITMAPINFO* header);
  CRect Pick(CAnnotateList* list, CAnnotateObject* object);
  CRect ResetPick();
  CRect RemovePickedObject();
  int GetHandle(const CPoint& pt, CPoint& offset);
  int GetLastHandle() const { return m_lastHandle; }
  CHandleBox* GetHandleObject() { return &m_handleBox; }
  void SetHandleDraw(BOOL on) { m_handleDraw = on; }
  BOOL HasPickedObject() const { return m_pickedObject != nullptr; }
  CAnnotateObject* GetPickedObject() const { return m_pickedObject; }
  CAnnotateList* GetPickedList() const { return m_pickedList; }
  void SetPickedList(CAnnotateList* list) { m_pickedList = list; }

  BOOL NudgeAnnotateListTime(CAnnotateList* list, int delta, DWORD limit);

  void SetPauseDelay(int ms) { m_pauseDelay = ms; }
  int GetPauseDelay() const { return m_pauseDelay; }
  void SetComment(const char* comment) { m_comment = comment ? comment : ""; }
  const std::string& GetComment() const { return m_comment; }
  const std::string& GetHeaderText() const { return m_headerText; }
  DWORD GetHeaderReserved() const { return m_headerReserved; }
  void UpdateChange(BOOL changed) { m_changed = changed; }
  BOOL HasChanged() const { return m_changed; }
  void SetExportVars(BOOL render, const CRect& rect) {
    m_render = render;
    m_exportRect = rect;
  }
  BOOL GetRenderFlag() const { return m_render; }
  const CRect& GetExportRect() const { return m_exportRect; }

 private:
  int IndexOfList(const CAnnotateList* list) const;
  void InsertList(CAnnotateList* list);
  CAnnotateList* GetOrCreate(DWORD start);
  void RemoveDisplay(const CAnnotateList* list);
  CRect PickedWindowRect() const;
  // Puts the handle box around the picked object (and on a line's ends).
  void PrepareHandleBox();
  BOOL LoadHeader(CMemoryArchive& archive, DWORD& count);

  CAnnotateObject* m_pickedObject = nullptr;
  CAnnotateList* m_pickedList = nullptr;
  CHandleBox m_handleBox;
  std::string m_headerText;
  std::string m_comment;
  std::vector<CAnnotateList*> m_lists;
  std::vector<CAnnotateList*> m_display;
  BOOL m_changed = FALSE;
  BOOL m_handleDraw = TRUE;
  int m_lastHandle = 0;
  int m_pauseDelay = 100;
  DWORD m_headerReserved = 0;
  BOOL m_render = TRUE;
  CRect m_exportRect;
};

// Builds one archive from the lists of several time ranges of one or more sets.
class CAnnotateAdd {
 public:
  CAnnotateAdd();
  void StartInsert();
  BOOL InsertAnnotation(CAnnotateData* set, DWORD from, DWORD to, DWORD newStart, DWORD unused1 = 0, DWORD unused2 = 0);
  BOOL EndInsert(CAnnotateData* set);
  CMemoryArchive* GetMemoryArchivePtr() { return &m_archive; }
  int GetCount() const { return m_count; }

 private:
  int m_count = 0;
  CMemoryArchive m_archive;
};
