// The calls on another program's objects, against an object of the test's own: a child list at
// its bound and one past it, a child that is no IAccessible, ids that never repeat, a reader
// abandoned between two calls.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <set>
#include <string>

#include "accessibility/ObjectCalls.h"
#include "platform/Com.h"

namespace {

using namespace accessibility;

// IUnknown and IDispatch as the test's objects give them: the interface itself, IDispatch and
// IUnknown, nothing else; an object made with new goes at its last release.
template <class Interface, bool kOwned>
class Dispatch : public Interface {
 public:
  virtual ~Dispatch() = default;
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    const bool given = riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(Interface);
    *out = given ? static_cast<Interface*>(this) : nullptr;
    if (given) AddRef();
    return given ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --m_refs;
    if (kOwned && !left) delete this;
    return left;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

 private:
  ULONG m_refs = 1;
};

// An IDispatch that is no accessible object.
using PlainDispatch = Dispatch<IDispatch, true>;

// An object with count simple children named "c<id>"; the child at plainAt (1-based, 0: none)
// is a plain IDispatch instead. It lives on the test's stack.
class FakeObject : public Dispatch<IAccessible, false> {
 public:
  FakeObject(long count, long plainAt) : m_count(count), m_plainAt(plainAt) {}
  STDMETHODIMP get_accParent(IDispatch** out) override { return *out = nullptr, S_FALSE; }
  STDMETHODIMP get_accChildCount(long* count) override { return *count = m_count, S_OK; }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
    const bool plain = child.vt == VT_I4 && m_plainAt && child.lVal == m_plainAt;
    *out = plain ? new PlainDispatch : nullptr;
    return plain ? S_OK : S_FALSE;
  }
  STDMETHODIMP get_accName(VARIANT child, BSTR* out) override {
    return *out = ::SysAllocString((L"c" + std::to_wstring(child.lVal)).c_str()), S_OK;
  }
  STDMETHODIMP get_accValue(VARIANT, BSTR* out) override { return *out = nullptr, S_FALSE; }
  STDMETHODIMP get_accDescription(VARIANT, BSTR* out) override { return *out = nullptr, S_FALSE; }
  STDMETHODIMP get_accRole(VARIANT, VARIANT* out) override { return out->vt = VT_I4, out->lVal = ROLE_SYSTEM_PUSHBUTTON, S_OK; }
  STDMETHODIMP get_accState(VARIANT, VARIANT* out) override { return out->vt = VT_I4, out->lVal = STATE_SYSTEM_FOCUSABLE, S_OK; }
  STDMETHODIMP get_accHelp(VARIANT, BSTR* out) override { return *out = nullptr, S_FALSE; }
  STDMETHODIMP get_accHelpTopic(BSTR* out, VARIANT, long*) override { return *out = nullptr, S_FALSE; }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR* out) override { return *out = nullptr, S_FALSE; }
  STDMETHODIMP get_accFocus(VARIANT* out) override { return out->vt = VT_EMPTY, S_FALSE; }
  STDMETHODIMP get_accSelection(VARIANT* out) override { return out->vt = VT_EMPTY, S_FALSE; }
  STDMETHODIMP get_accDefaultAction(VARIANT, BSTR* out) override { return *out = nullptr, S_FALSE; }
  STDMETHODIMP accSelect(long, VARIANT) override { return E_NOTIMPL; }
  STDMETHODIMP accLocation(long* x, long* y, long* w, long* h, VARIANT) override { return *x = *y = *w = *h = 0, S_FALSE; }
  STDMETHODIMP accNavigate(long, VARIANT, VARIANT* out) override { return out->vt = VT_EMPTY, S_FALSE; }
  STDMETHODIMP accHitTest(long, long, VARIANT* out) override { return out->vt = VT_EMPTY, S_FALSE; }
  STDMETHODIMP accDoDefaultAction(VARIANT) override { return ++actions, S_OK; }
  STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  int actions = 0;

 private:
  long m_count;
  long m_plainAt;
};

// Every child read of the object, over all batches; the last answer.
struct Read {
  std::vector<ObjectItem> items;
  Answer last;
  size_t batches = 0;
  size_t progressed = 0;
};

Read ReadChildrenOf(FakeObject& object, CObjectStore& store) {
  const Stop stop{false};
  const int id = store.Add(&object, CHILDID_SELF);
  Read read;
  read.last = Respond(stop, Ask{AskKind::Children, id}, nullptr, store, [&](Answer&& batch) {
    EXPECT_TRUE(batch.more);
    EXPECT_EQ(batch.items.size(), kChildBatch);
    read.items.insert(read.items.end(), batch.items.begin(), batch.items.end());
    ++read.batches;
  }, [&](size_t soFar) {
    EXPECT_EQ(soFar, read.progressed) << "counted one by one";
    ++read.progressed;
  });
  read.items.insert(read.items.end(), read.last.items.begin(), read.last.items.end());
  return read;
}

TEST(ObjectCallsTest, AChildListIsReadWholeAtItsBoundAndCutOnlyPastIt) {
  platform::CComScope com;
  for (long count : {kMaxChildren - 1, kMaxChildren, kMaxChildren + 1, 100000L}) {
    FakeObject object(count, 0);
    CObjectStore store;
    const Read read = ReadChildrenOf(object, store);
    const size_t expected = static_cast<size_t>(std::min(count, kMaxChildren));
    ASSERT_EQ(read.items.size(), expected) << count;
    EXPECT_EQ(read.last.cut, count > kMaxChildren) << count;
    EXPECT_FALSE(read.last.more);
    EXPECT_EQ(read.progressed, expected);
    EXPECT_EQ(read.batches, (expected - 1) / kChildBatch) << count;
    EXPECT_EQ(read.items.back().summary.name, L"c" + std::to_wstring(expected));
  }
}

TEST(ObjectCallsTest, AChildThatIsNoAccessibleObjectIsListedAsSuchAndAskedNothing) {
  platform::CComScope com;
  FakeObject object(3, 2);
  CObjectStore store;
  const Read read = ReadChildrenOf(object, store);
  ASSERT_EQ(read.items.size(), 3u) << "the rows agree with the child count";
  EXPECT_EQ(read.items[0].summary.name, L"c1");
  EXPECT_EQ(read.items[1].summary.role, kNotAccessibleRole);
  EXPECT_EQ(read.items[1].summary.name, L"");
  EXPECT_EQ(read.items[2].summary.name, L"c3");
  const Stop stop{false};
  const Answer details = Respond(stop, Ask{AskKind::Details, read.items[1].id}, nullptr, store, {});
  EXPECT_EQ(details.result, E_NOINTERFACE);
  EXPECT_EQ(details.details.role, kNotAccessibleRole);
  EXPECT_EQ(Respond(stop, Ask{AskKind::DefaultAction, read.items[1].id}, nullptr, store, {}).result, E_NOINTERFACE);
  EXPECT_TRUE(Respond(stop, Ask{AskKind::Children, read.items[1].id}, nullptr, store, {}).items.empty());
  EXPECT_EQ(Respond(stop, Ask{AskKind::DefaultAction, read.items[2].id}, nullptr, store, {}).result, S_OK);
  EXPECT_EQ(object.actions, 1);
}

// An id of one reading is never an object of another, and an abandoned reader asks no more.
TEST(ObjectCallsTest, IdsNeverRepeatAcrossStoresAndAnAbandonedReaderStops) {
  platform::CComScope com;
  FakeObject object(2, 0);
  std::set<int> ids;
  for (int round = 0; round < 3; ++round) {
    CObjectStore store;
    for (const ObjectItem& item : ReadChildrenOf(object, store).items) EXPECT_TRUE(ids.insert(item.id).second) << item.id;
  }
  CObjectStore old;
  const int oldId = old.Add(&object, 1);
  CObjectStore fresh;
  EXPECT_EQ(Respond(Stop{false}, Ask{AskKind::DefaultAction, oldId}, nullptr, fresh, {}).result, E_INVALIDARG);
  EXPECT_EQ(object.actions, 0);
  const Stop stopped{true};
  EXPECT_THROW(Respond(stopped, Ask{AskKind::DefaultAction, oldId}, nullptr, old, {}), Abandoned);
  EXPECT_EQ(object.actions, 0);
}

}  // namespace
