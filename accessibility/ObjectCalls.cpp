#include "accessibility/ObjectCalls.h"

namespace accessibility {

void Check(const Stop& stop) {
  if (stop.load()) throw Abandoned{};
}

int NextObjectId() {
  static std::atomic<int> next{0};
  return ++next;
}

namespace {

// A variant cleared when it goes.
class CVariant {
 public:
  CVariant() { ::VariantInit(&m_value); }
  ~CVariant() { ::VariantClear(&m_value); }
  CVariant(const CVariant&) = delete;
  CVariant& operator=(const CVariant&) = delete;
  VARIANT* Out() {
    ::VariantClear(&m_value);
    return &m_value;
  }
  const VARIANT& Get() const { return m_value; }

 private:
  VARIANT m_value;
};

// A string the provider allocated, freed when it goes.
class CBstr {
 public:
  ~CBstr() { ::SysFreeString(m_value); }
  BSTR* Out() { return &m_value; }
  std::wstring Text() const { return m_value ? BoundedText(m_value, ::SysStringLen(m_value)) : std::wstring(); }

 private:
  BSTR m_value = nullptr;
};

VARIANT ChildVariant(LONG child) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = child;
  return v;
}

std::wstring RoleText(const Stop& stop, IAccessible* object, LONG child) {
  Check(stop);
  CVariant role;
  if (FAILED(object->get_accRole(ChildVariant(child), role.Out()))) return {};
  if (role.Get().vt == VT_BSTR && role.Get().bstrVal) return BoundedText(role.Get().bstrVal, ::SysStringLen(role.Get().bstrVal));
  if (role.Get().vt != VT_I4) return {};
  wchar_t text[128] = {};
  const UINT length = ::GetRoleTextW(static_cast<DWORD>(role.Get().lVal), text, 128);
  return BoundedText(text, length < 128 ? length : 127);
}

using StringGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

std::wstring StringOf(const Stop& stop, IAccessible* object, LONG child, StringGetter getter) {
  Check(stop);
  CBstr text;
  if (FAILED((object->*getter)(ChildVariant(child), text.Out()))) return {};
  return text.Text();
}

long ChildCountOf(const Stop& stop, IAccessible* object, LONG child) {
  if (child != CHILDID_SELF) return 0;
  Check(stop);
  long count = 0;
  if (FAILED(object->get_accChildCount(&count)) || count < 0) return 0;
  return count;
}

ObjectSummary SummaryOf(const Stop& stop, IAccessible* object, LONG child) {
  ObjectSummary summary;
  summary.role = RoleText(stop, object, child);
  summary.name = StringOf(stop, object, child, &IAccessible::get_accName);
  summary.childCount = ChildCountOf(stop, object, child);
  return summary;
}

// The children of a full object as AccessibleChildren gives them (at most kMaxChildren).
class CChildList {
 public:
  CChildList(const Stop& stop, IAccessible* object, bool* cut) {
    Check(stop);
    long count = 0;
    if (FAILED(object->get_accChildCount(&count)) || count <= 0) return;
    *cut = count > kMaxChildren;
    if (*cut) count = kMaxChildren;
    m_children.resize(static_cast<size_t>(count));
    for (VARIANT& v : m_children) ::VariantInit(&v);
    long obtained = 0;
    Check(stop);
    if (FAILED(::AccessibleChildren(object, 0, count, m_children.data(), &obtained)) || obtained < 0) obtained = 0;
    // Only what was written is cleared: the rest is still empty.
    m_children.resize(static_cast<size_t>(obtained < count ? obtained : count));
  }
  ~CChildList() {
    for (VARIANT& v : m_children) ::VariantClear(&v);
  }
  CChildList(const CChildList&) = delete;
  CChildList& operator=(const CChildList&) = delete;
  const std::vector<VARIANT>& Items() const { return m_children; }

 private:
  std::vector<VARIANT> m_children;
};

// The child's own object when it has one.
bool AsObject(const Stop& stop, const VARIANT& v, platform::CComRef<IAccessible>& out) {
  Check(stop);
  return v.vt == VT_DISPATCH && v.pdispVal &&
         SUCCEEDED(v.pdispVal->QueryInterface(IID_IAccessible, out.OutVoid())) && out;
}

bool SameObject(const Stop& stop, IUnknown* a, IUnknown* b) {
  Check(stop);
  platform::CComRef<IUnknown> left, right;
  return SUCCEEDED(a->QueryInterface(IID_IUnknown, left.OutVoid())) &&
         SUCCEEDED(b->QueryInterface(IID_IUnknown, right.OutVoid())) && left.Get() == right.Get();
}

void ReadRoot(const Stop& stop, HWND window, CObjectStore& store, Answer& answer) {
  store.Clear();
  platform::CComRef<IAccessible> root;
  Check(stop);
  answer.result = ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, root.OutVoid());
  if (FAILED(answer.result) || !root) {
    if (SUCCEEDED(answer.result)) answer.result = E_NOINTERFACE;
    return;
  }
  const int id = store.Add(root.Get(), CHILDID_SELF);
  store.SetRoot(id);
  answer.items.push_back(ObjectItem{id, SummaryOf(stop, root.Get(), CHILDID_SELF)});
}

void ReadChildren(const Stop& stop, const StoredObject& parent, CObjectStore& store, Answer& answer,
                  const Deliver& deliver, const Progress& progress) {
  if (parent.child != CHILDID_SELF || !parent.object) return;
  CChildList children(stop, parent.object.Get(), &answer.cut);
  size_t read = 0;
  for (const VARIANT& v : children.Items()) {
    if (progress) progress(read++);
    if (answer.items.size() == kChildBatch) {
      Answer batch = answer;
      batch.more = true;
      deliver(std::move(batch));
      answer.items.clear();
    }
    platform::CComRef<IAccessible> own;
    if (AsObject(stop, v, own)) {
      answer.items.push_back(ObjectItem{store.Add(own.Get(), CHILDID_SELF), SummaryOf(stop, own.Get(), CHILDID_SELF)});
    } else if (v.vt == VT_I4) {
      answer.items.push_back(
          ObjectItem{store.Add(parent.object.Get(), v.lVal), SummaryOf(stop, parent.object.Get(), v.lVal)});
    } else {
      // Counted by the parent, so listed: an object without IAccessible, or nothing usable.
      ObjectSummary summary;
      summary.role = kNotAccessibleRole;
      answer.items.push_back(ObjectItem{store.Add(nullptr, CHILDID_SELF), summary});
    }
  }
}

void ReadDetails(const Stop& stop, const StoredObject& stored, Answer& answer) {
  IAccessible* object = stored.object.Get();
  const LONG child = stored.child;
  ObjectDetails& details = answer.details;
  details.name = StringOf(stop, object, child, &IAccessible::get_accName);
  details.role = RoleText(stop, object, child);
  CVariant state;
  Check(stop);
  if (SUCCEEDED(object->get_accState(ChildVariant(child), state.Out())) && state.Get().vt == VT_I4)
    details.state = static_cast<DWORD>(state.Get().lVal);
  details.value = StringOf(stop, object, child, &IAccessible::get_accValue);
  details.description = StringOf(stop, object, child, &IAccessible::get_accDescription);
  details.defaultAction = StringOf(stop, object, child, &IAccessible::get_accDefaultAction);
  details.shortcut = StringOf(stop, object, child, &IAccessible::get_accKeyboardShortcut);
  details.help = StringOf(stop, object, child, &IAccessible::get_accHelp);
  ObjectLocation location;
  Check(stop);
  if (object->accLocation(&location.x, &location.y, &location.width, &location.height, ChildVariant(child)) == S_OK)
    details.location = location;
  if (child == CHILDID_SELF) {
    long count = 0;
    Check(stop);
    if (SUCCEEDED(object->get_accChildCount(&count))) details.childCount = count;
  } else {
    details.childCount = 0;
  }
  HWND window = nullptr;
  Check(stop);
  if (SUCCEEDED(::WindowFromAccessibleObject(object, &window))) details.window = window;
}

void HitTest(const Stop& stop, const StoredObject& root, POINT point, Answer& answer) {
  platform::CComRef<IAccessible> at;
  root.object->AddRef();
  *at.Out() = root.object.Get();
  while (answer.path.size() < kMaxHitDepth) {
    CVariant hit;
    Check(stop);
    if (at->accHitTest(point.x, point.y, hit.Out()) != S_OK || hit.Get().vt == VT_EMPTY) {
      // Nothing of the window's objects at the point.
      if (answer.path.empty()) answer.result = S_FALSE;
      break;
    }
    const VARIANT& found = hit.Get();
    if (found.vt == VT_I4 && found.lVal == CHILDID_SELF) break;
    platform::CComRef<IAccessible> own;
    const bool isObject = AsObject(stop, found, own);
    if (!isObject && found.vt != VT_I4) break;
    bool cut = false;
    CChildList children(stop, at.Get(), &cut);
    const std::vector<VARIANT>& items = children.Items();
    size_t index = items.size();
    for (size_t i = 0; i < items.size() && index == items.size(); ++i) {
      if (isObject ? (items[i].vt == VT_DISPATCH && items[i].pdispVal && SameObject(stop, items[i].pdispVal, own.Get()))
                   : (items[i].vt == VT_I4 && items[i].lVal == found.lVal))
        index = i;
    }
    if (index == items.size()) break;
    answer.path.push_back(PathStep{index, L"", L"", true});
    if (!isObject) break;
    own->AddRef();
    *at.Out() = own.Get();
  }
}

}  // namespace

Answer Respond(const Stop& stop, const Ask& ask, HWND window, CObjectStore& store, const Deliver& deliver,
               const Progress& progress) {
  Answer answer;
  answer.kind = ask.kind;
  answer.node = ask.node;
  answer.serial = ask.serial;
  if (ask.kind == AskKind::Root) {
    ReadRoot(stop, window, store, answer);
    return answer;
  }
  const StoredObject* stored = store.Find(ask.kind == AskKind::HitTest ? store.Root() : ask.node);
  if (!stored) {
    answer.result = E_INVALIDARG;
    return answer;
  }
  if (!stored->object) {
    // A child that is no accessible object: nothing to ask it.
    answer.result = ask.kind == AskKind::Children ? S_OK : E_NOINTERFACE;
    answer.details.role = kNotAccessibleRole;
    return answer;
  }
  switch (ask.kind) {
    case AskKind::Children: ReadChildren(stop, *stored, store, answer, deliver, progress); break;
    case AskKind::Details: ReadDetails(stop, *stored, answer); break;
    case AskKind::DefaultAction:
      Check(stop);
      answer.result = stored->object->accDoDefaultAction(ChildVariant(stored->child)); break;
    case AskKind::HitTest: HitTest(stop, *stored, ask.point, answer); break;
    case AskKind::Root: break;
  }
  return answer;
}


}  // namespace accessibility
