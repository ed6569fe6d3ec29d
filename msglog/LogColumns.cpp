#include "msglog/LogColumns.h"

#include "platform/Format.h"

namespace msglog {

const char* const kColumnHeadings[kColumnCount] = {"#",      "時刻",   "ハンドル", "種類", "メッセージ",
                                                    "wParam", "lParam", "戻り値",   "内容"};

std::string RowMessageName(const StoredRow& row, const NameContext& names) {
  return MessageName(row.message, row.windowKind, names.registered);
}

std::string CellText(const CMessageStore& store, size_t index, int column, const NameContext& names) {
  const StoredRow& row = store.At(index);
  switch (column) {
    case kColNumber: return std::to_string(store.ShownNumber(index));
    case kColTime: return FormatSeconds(row.timeMs);
    case kColHandle: return platform::FormatHex32(row.hwnd);
    case kColKind: return std::string(1, row.kind);
    case kColMessage: return RowMessageName(row, names);
    case kColWParam: return FormatValue(row.wParam);
    case kColLParam: return FormatValue(row.lParam);
    case kColResult: return row.kind == 'R' ? FormatValue(row.result) : std::string();
    case kColContent: {
      const Payload payload = store.PayloadOf(row);
      MessageView view;
      view.kind = row.kind;
      view.message = row.message;
      view.hwnd = row.hwnd;
      view.wParam = row.wParam;
      view.lParam = row.lParam;
      view.result = row.result;
      view.unicodeWindow = row.unicodeWindow;
      view.windowKind = row.windowKind;
      view.payload = &payload;
      return DecodeContent(view, names.kindOf);
    }
    default: return std::string();
  }
}

}  // namespace msglog
