// The log list's columns and the text of each cell, for the list and for the saved file alike.
#pragma once
#include <cstddef>
#include <string>

#include "msglog/MessageDecoding.h"
#include "msglog/MessageStore.h"

namespace msglog {

enum LogColumn { kColNumber, kColTime, kColHandle, kColKind, kColMessage, kColWParam, kColLParam, kColResult, kColContent, kColumnCount };

// The headings in column order, code page 932 as every text of the program.
extern const char* const kColumnHeadings[kColumnCount];

// How names are found for a row: a registered message's name, the control kind of a window.
struct NameContext {
  RegisteredNameLookup registered;
  KindOfWindow kindOf;
};

// A row's message name, as shown and as the filter matches it.
std::string RowMessageName(const StoredRow& row, const NameContext& names);

// The text of a cell of the store's row at index, UTF-8 (only 内容 can hold more than ASCII).
std::string CellText(const CMessageStore& store, size_t index, int column, const NameContext& names);

}  // namespace msglog
