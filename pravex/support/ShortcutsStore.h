// The shortcuts store: named targets with a description, a file-name prefix
// and a default comment, listed by name (without regard to case), one of
// which may be the default. Kept in memory and mirrored at once into the
// settings store: one sub-key per shortcut, named by its ID (derived from its
// name), holding "Name", "Target", "Description", "FilePrefix" and
// "DefaultComment"; the store key holds "DefaultShortcut". Every operation
// holds the named mutex "Kalvo_Shortcuts", shared with the recent-files store.
#pragma once

#include "platform/os/NamedMutex.h"

#include <string>
#include <vector>

class CSettingsKey;

class CShortcut {
 public:
  const std::string& GetID() const { return m_id; }
  void SetID(const std::string& id) { m_id = id; }
  const std::string& GetName() const { return m_name; }
  void SetName(const std::string& name) { m_name = name; }
  const std::string& GetTarget() const { return m_target; }
  void SetTarget(const std::string& target) { m_target = target; }
  const std::string& GetDescription() const { return m_description; }
  void SetDescription(const std::string& description) { m_description = description; }
  const std::string& GetFilePrefix() const { return m_filePrefix; }
  void SetFilePrefix(const std::string& prefix) { m_filePrefix = prefix; }
  const std::string& GetDefaultComment() const { return m_defaultComment; }
  void SetDefaultComment(const std::string& comment) { m_defaultComment = comment; }

 private:
  std::string m_id;
  std::string m_name;
  std::string m_target;
  std::string m_description;
  std::string m_filePrefix;
  std::string m_defaultComment;
};

class CShortcutsStore {
 public:
  // Loads the list at keyPath (relative to the current user's root) when given.
  explicit CShortcutsStore(const char* keyPath = nullptr);

  // Reads every shortcut, sorted by name, and the default ID. Returns 1; a
  // missing key is an empty list.
  int Load(const char* keyPath);
  // Gives the shortcut an ID from its name (stored back into it), stores it
  // and appends it to the list.
  int CreateShortcut(CShortcut& shortcut);
  // Copies every field into the listed shortcut with the same ID and rewrites
  // its stored values; 0 when no listed shortcut has that ID.
  int UpdateShortcut(const CShortcut& shortcut);
  // Deletes the shortcut from the store and the list; the default becomes
  // empty when it was this one.
  int DeleteShortcut(const std::string& id);
  int DeleteShortcut(const CShortcut& shortcut) { return DeleteShortcut(shortcut.GetID()); }

  int SetDefaultShortcutID(const std::string& id);
  const std::string& GetDefaultShortcutID() const { return m_defaultID; }
  // The listed default shortcut, or null.
  CShortcut* GetDefaultShortcutPtr();

  // Finds by name (without regard to case) or by ID; 1 when found.
  int GetShortcutFromName(const std::string& name, CShortcut& shortcut) const;
  int GetShortcut(const std::string& id, CShortcut& shortcut) const;
  // A copy; an empty shortcut for an index outside the list.
  CShortcut GetShortcut(int index) const;
  // Null for an index outside the list.
  CShortcut* GetShortcutPtr(int index);
  int GetCount() const;

  // False when another stored shortcut already has this name (without regard to case).
  bool VerifyUniqueName(const CShortcut& shortcut);
  // The name itself, or "name-1", "name-2"... : the first that names no stored
  // shortcut. Backslashes become '_' and an empty name "Shortcut", so that an
  // ID always names exactly one sub-key.
  std::string GenerateUniqueID(const std::string& name);

 private:
  bool OpenStoreKey(CSettingsKey& key, bool create) const;
  // Rewrites the stored values; creates the sub-key only when asked.
  bool UpdateShortcutReg(const CShortcut& shortcut, bool create);
  int FindID(const std::string& id) const;

  std::string m_keyPath;
  std::vector<CShortcut> m_shortcuts;  // ascending name without regard to case
  std::string m_defaultID;
  mutable CNamedMutex m_mutex;  // held by every operation, getters included
};
