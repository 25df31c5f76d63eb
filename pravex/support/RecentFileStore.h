// The recent-files store: a most-recent-first list of named targets, kept in
// memory and mirrored at once into the settings store so that every program
// of the family shares it. Layout under the store's key: one sub-key per item,
// named by its numeric ID, holding "Name" and "Target"; the store key holds
// "MaximumFiles" (default 50). Every operation holds the named mutex
// "Kalvo_Shortcuts", which the shortcuts store shares.
#pragma once

#include "platform/os/NamedMutex.h"

#include <string>
#include <vector>

class CSettingsKey;

class CRecentItem {
 public:
  CRecentItem() = default;
  CRecentItem(const std::string& name, const std::string& target) : m_name(name), m_target(target) {}

  // Decimal number as text; empty for an item not yet stored.
  const std::string& GetID() const { return m_id; }
  void SetID(const std::string& id) { m_id = id; }
  const std::string& GetName() const { return m_name; }
  void SetName(const std::string& name) { m_name = name; }
  const std::string& GetTarget() const { return m_target; }
  void SetTarget(const std::string& target) { m_target = target; }

 private:
  std::string m_id;
  std::string m_name;
  std::string m_target;
};

class CRecentFileStore {
 public:
  // The name of the mutex both stores and every process using them share.
  static constexpr const char* kMutexName = "Kalvo_Shortcuts";
  static constexpr int kDefaultMaximum = 50;

  // Loads the list at keyPath (relative to the current user's root) when given.
  explicit CRecentFileStore(const char* keyPath = nullptr);

  // Reads the list, newest first, and cuts (from the list and the store) the
  // items beyond the maximum size. Returns 1; a missing key is an empty list.
  int Load(const char* keyPath);
  // "MaximumFiles"; the default when it is not stored.
  int GetMaximumSize();
  int SetMaximumSize(int maximum);

  // Removes a matching listed item, gives the item a new ID (stored back into
  // it) and lists it first. 1 when it was stored.
  int AddRecentItem(CRecentItem& item);
  // Gives the item a new ID and stores it; the list is untouched.
  int AddRecentItemReg(CRecentItem& item);
  // Removes the first listed item with the same name and target, or (when the
  // given ID is not empty) the same ID, from the list and the store.
  int RemoveRecentItem(const CRecentItem& item);
  // Deletes every stored item whose target equals target without regard to case.
  int RemoveRecentItemReg(const std::string& target);
  // Deletes the stored item with that ID.
  int RemoveRecentItemIDReg(const std::string& id);
  // Replaces the name and target of the listed item with the same ID.
  int UpdateRecentItem(const CRecentItem& item);
  // Replaces the name and target of the listed item matching oldItem.
  int UpdateRecentItem(const CRecentItem& oldItem, const CRecentItem& newItem);

  int GetCount() const;
  // A copy; an empty item for an index outside the list.
  CRecentItem GetRecentItem(int index) const;
  // Null for an index outside the list.
  CRecentItem* GetRecentItemPtr(int index);
  // One more than the largest numeric sub-key name; empty when the store cannot be read.
  std::string GenerateUniqueID();

 private:
  bool OpenStoreKey(CSettingsKey& key, bool create) const;
  int FindMatch(const CRecentItem& item) const;
  void InsertByID(const CRecentItem& item);
  bool WriteItem(const CRecentItem& item);
  bool DeleteItemKey(const std::string& id);
  int RemoveListed(int index);

  std::string m_keyPath;
  std::vector<CRecentItem> m_items;  // descending numeric ID
  mutable CNamedMutex m_mutex;       // held by every operation, getters included
};
