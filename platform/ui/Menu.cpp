#include "platform/ui/Menu.h"

#include <algorithm>

#include "platform/os/Resources.h"

namespace {

constexpr int kMaxMenuDepth = 16;
constexpr std::size_t kMaxMenuItems = 4096;

// A tokenizer for the MENU resource text: words, numbers and quoted strings,
// line by line.
class CMenuParser {
 public:
  CMenuParser(const char* text, std::size_t size) : m_p(text), m_end(text + size) {}

  BOOL ParseInto(CMenu& menu, int depth, bool topLevel) {
    if (depth > kMaxMenuDepth) return FALSE;
    std::string word;
    while (NextWord(word)) {
      if (word == "END") return topLevel ? FALSE : TRUE;
      if (word == "SEPARATOR") {
        if (!AtLineEnd() || !menu.AppendMenu(MF_SEPARATOR)) return FALSE;
      } else if (word == "POPUP") {
        std::string text;
        CMenu sub;
        sub.CreatePopupMenu();
        if (!QuotedString(text) || !AtLineEnd() || !ParseInto(sub, depth + 1, false)) return FALSE;
        if (!menu.AppendMenu(MF_POPUP, reinterpret_cast<std::uintptr_t>(&sub), text.c_str())) return FALSE;
      } else if (word == "ITEM" || word == "MENUITEM") {
        if (!ParseItem(menu)) return FALSE;
      } else {
        return FALSE;
      }
      if (menu.GetMenuItemCount() > kMaxMenuItems) return FALSE;
    }
    return topLevel ? TRUE : FALSE;  // a sub-menu must be closed by END
  }

 private:
  BOOL ParseItem(CMenu& menu) {
    std::string text;
    std::uint64_t id = 0;
    if (!QuotedString(text) || !Number(id)) return FALSE;
    UINT flags = MF_STRING;
    std::string option;
    while (!AtLineEnd()) {
      if (!NextWord(option)) return FALSE;
      if (option == "GRAYED") flags |= MF_GRAYED;
      else if (option == "DISABLED") flags |= MF_DISABLED;
      else if (option == "CHECKED") flags |= MF_CHECKED;
      else if (option == "RADIO") flags |= MFT_RADIOCHECK;
      else if (option == "DEFAULT") flags |= MF_DEFAULT;
      else return FALSE;
    }
    return menu.AppendMenu(flags, static_cast<std::uintptr_t>(id), text.c_str());
  }

  void SkipBlanksAndComments() {
    for (;;) {
      while (m_p < m_end && (*m_p == ' ' || *m_p == '\t' || *m_p == '\r' || *m_p == '\n')) ++m_p;
      if (m_p < m_end && *m_p == '#') {
        while (m_p < m_end && *m_p != '\n') ++m_p;
        continue;
      }
      return;
    }
  }

  bool AtLineEnd() {
    while (m_p < m_end && (*m_p == ' ' || *m_p == '\t' || *m_p == '\r')) ++m_p;
    return m_p == m_end || *m_p == '\n';
  }

  bool NextWord(std::string& word) {
    SkipBlanksAndComments();
    word.clear();
    while (m_p < m_end && ((*m_p >= 'A' && *m_p <= 'Z') || (*m_p >= 'a' && *m_p <= 'z'))) word.push_back(*m_p++);
    return !word.empty();
  }

  bool Number(std::uint64_t& value) {
    while (m_p < m_end && (*m_p == ' ' || *m_p == '\t')) ++m_p;
    const char* start = m_p;
    value = 0;
    while (m_p < m_end && *m_p >= '0' && *m_p <= '9' && value <= 0xFFFFFFFFu) value = value * 10 + (*m_p++ - '0');
    return m_p != start && value <= 0xFFFFFFFFu;
  }

  bool QuotedString(std::string& text) {
    while (m_p < m_end && (*m_p == ' ' || *m_p == '\t')) ++m_p;
    if (m_p == m_end || *m_p != '"') return false;
    ++m_p;
    text.clear();
    while (m_p < m_end && *m_p != '"' && *m_p != '\n') {
      char c = *m_p++;
      if (c == '\\' && m_p < m_end) {
        c = *m_p++;
        c = c == 't' ? '\t' : (c == 'n' ? '\n' : c);
      }
      text.push_back(c);
    }
    if (m_p == m_end || *m_p != '"') return false;
    ++m_p;
    return true;
  }

  const char* m_p;
  const char* m_end;
};

}  // namespace

CMenu::CMenu() = default;
CMenu::~CMenu() = default;

BOOL CMenu::CreateMenu() {
  m_items.clear();
  m_created = true;
  return TRUE;
}

BOOL CMenu::CreatePopupMenu() { return CreateMenu(); }

BOOL CMenu::LoadMenu(UINT resourceId) {
  CResourceBlock block = FindResourceData("MENU", resourceId);
  if (!block.data) return FALSE;
  return LoadMenuText(reinterpret_cast<const char*>(block.data), block.size);
}

BOOL CMenu::LoadMenuText(const char* text, std::size_t size) {
  CreateMenu();
  if (!text) return FALSE;
  CMenuParser parser(text, size);
  if (!parser.ParseInto(*this, 0, true)) {
    m_items.clear();
    return FALSE;
  }
  return TRUE;
}

BOOL CMenu::DestroyMenu() {
  m_items.clear();
  m_created = false;
  return TRUE;
}

UINT CMenu::GetMenuItemCount() const { return static_cast<UINT>(m_items.size()); }

UINT CMenu::GetMenuItemID(int position) const {
  if (position < 0 || static_cast<std::size_t>(position) >= m_items.size()) return 0xFFFFFFFFu;
  const CMenuItem& item = m_items[static_cast<std::size_t>(position)];
  if (item.flags & MF_POPUP) return 0xFFFFFFFFu;
  return (item.flags & MF_SEPARATOR) ? 0 : item.id;
}

CMenu* CMenu::GetSubMenu(int position) const {
  if (position < 0 || static_cast<std::size_t>(position) >= m_items.size()) return nullptr;
  return m_items[static_cast<std::size_t>(position)].popup.get();
}

CMenuItem* CMenu::ItemByCommand(UINT id, CMenu** holder) {
  for (CMenuItem& item : m_items) {
    if (!(item.flags & (MF_POPUP | MF_SEPARATOR)) && item.id == id) {
      if (holder) *holder = this;
      return &item;
    }
    if (item.popup)
      if (CMenuItem* found = item.popup->ItemByCommand(id, holder)) return found;
  }
  return nullptr;
}

CMenuItem* CMenu::FindItem(UINT item, UINT flags, CMenu** holder) {
  if (flags & MF_BYPOSITION) {
    if (item >= m_items.size()) return nullptr;
    if (holder) *holder = this;
    return &m_items[item];
  }
  return ItemByCommand(item, holder);
}

const CMenuItem* CMenu::FindItem(UINT item, UINT flags) const {
  return const_cast<CMenu*>(this)->FindItem(item, flags, nullptr);
}

int CMenu::GetMenuString(UINT item, std::string& text, UINT flags) const {
  const CMenuItem* found = FindItem(item, flags);
  text = found ? found->text : std::string();
  return static_cast<int>(text.size());
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
  const CMenuItem* found = FindItem(item, flags);
  return found ? found->flags : 0xFFFFFFFFu;
}

BOOL CMenu::MakeItem(UINT flags, std::uintptr_t idOrPopup, const char* text, CMenuItem& item) {
  item.flags = flags & ~(MF_BYPOSITION);
  item.text = text ? text : "";
  if (flags & MF_POPUP) {
    auto* source = reinterpret_cast<CMenu*>(idOrPopup);
    if (!source) return FALSE;
    item.popup = std::make_unique<CMenu>();
    item.popup->CreatePopupMenu();
    item.popup->m_items = std::move(source->m_items);
    source->m_items.clear();
    item.id = 0;
  } else {
    item.id = static_cast<UINT>(idOrPopup);
  }
  if (flags & MF_SEPARATOR) item.text.clear();
  return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, std::uintptr_t idOrPopup, const char* text) {
  CMenuItem item;
  if (!MakeItem(flags, idOrPopup, text, item)) return FALSE;
  m_created = true;
  m_items.push_back(std::move(item));
  return TRUE;
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, std::uintptr_t idOrPopup, const char* text) {
  std::size_t index = m_items.size();
  CMenu* holder = this;
  if (flags & MF_BYPOSITION) {
    if (position < m_items.size()) index = position;
  } else if (CMenuItem* at = ItemByCommand(position, &holder)) {
    index = static_cast<std::size_t>(at - holder->m_items.data());
  }
  CMenuItem item;
  if (!MakeItem(flags, idOrPopup, text, item)) return FALSE;
  holder->m_items.insert(holder->m_items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
  return TRUE;
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, std::uintptr_t idOrPopup, const char* text) {
  CMenuItem* item = FindItem(position, flags);
  if (!item) return FALSE;
  CMenuItem replacement;
  if (!MakeItem(flags, idOrPopup, text, replacement)) return FALSE;
  *item = std::move(replacement);
  return TRUE;
}

BOOL CMenu::RemoveMenu(UINT position, UINT flags) {
  CMenu* holder = nullptr;
  CMenuItem* item = FindItem(position, flags, &holder);
  if (!item || !holder) return FALSE;
  holder->m_items.erase(holder->m_items.begin() + (item - holder->m_items.data()));
  return TRUE;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags) { return RemoveMenu(position, flags); }

UINT CMenu::EnableMenuItem(UINT item, UINT enable) {
  CMenuItem* found = FindItem(item, enable);
  if (!found) return 0xFFFFFFFFu;
  const UINT old = found->flags & (MF_GRAYED | MF_DISABLED);
  found->flags = (found->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return old;
}

UINT CMenu::CheckMenuItem(UINT item, UINT check) {
  CMenuItem* found = FindItem(item, check);
  if (!found) return 0xFFFFFFFFu;
  const UINT old = found->flags & MF_CHECKED;
  found->flags = (found->flags & ~MF_CHECKED) | (check & MF_CHECKED);
  return old;
}

BOOL CMenu::CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags) {
  CMenu* holder = nullptr;
  CMenuItem* a = FindItem(first, flags, &holder);
  CMenu* holderB = nullptr;
  CMenuItem* b = FindItem(last, flags, &holderB);
  if (!a || !b || holder != holderB) return FALSE;
  if (a > b) std::swap(a, b);
  BOOL found = FALSE;
  for (CMenuItem* it = a; it <= b; ++it) {
    if (it->flags & (MF_POPUP | MF_SEPARATOR)) continue;
    const bool hit = (flags & MF_BYPOSITION) ? static_cast<UINT>(it - holder->m_items.data()) == item : it->id == item;
    it->flags &= ~MF_CHECKED;
    if (hit) {
      it->flags |= MF_CHECKED | MFT_RADIOCHECK;
      found = TRUE;
    }
  }
  return found;
}

BOOL CMenu::SetDefaultItem(UINT item, BOOL byPosition) {
  for (CMenuItem& i : m_items) i.flags &= ~MF_DEFAULT;
  if (item == 0xFFFFFFFFu) return TRUE;
  CMenuItem* found = FindItem(item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!found) return FALSE;
  found->flags |= MF_DEFAULT;
  return TRUE;
}
