// The languages the game's texts come in: display name and the key that
// names the pack entries of the language ("msg_<key>" and so on).
#pragma once

struct vimraLanguage_s {
  const char* name;
  const char* key;
};

// The table, ended by an entry whose name and key are both null.
extern const vimraLanguage_s vimraLanguageTable[];

// Number of entries before the end marker.
int vimraLanguageCount();
// The index that follows `index`, wrapping to 0 at the end marker.
int vimraNextLanguage(int index);
