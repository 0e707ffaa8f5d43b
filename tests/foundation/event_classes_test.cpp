#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "navtools.h"

// A publisher declared with the event macros, as the library's publishers are.
NAV_DECLARE_EVENT_CLASS(TestPublisher, SOMETHING_CHANGED)
class TestPublisher : public KIVCommand {
 public:
  NAV_EVENT_ACCESSOR(SOMETHING_CHANGED)
  void Change() { GetCallbackManager()->DispatchCallbacks(SOMETHING_CHANGED(), nullptr, this); }
};
NAV_DEFINE_EVENT(TestPublisher, SOMETHING_CHANGED)

namespace {

template <class E>
void ExpectEventClass(const char* name) {
  static_assert(!std::is_default_constructible_v<E>, "event classes are never instantiated");
  static_assert(std::has_virtual_destructor_v<E>);
  EXPECT_STREQ(E::ClassName(), name);
  EXPECT_EQ(E::MetaObject(), E::MetaObject());
  EXPECT_EQ(E::MetaObject()->GetParent(), KIVNotification::MetaObject());
  EXPECT_EQ(E::MetaObject()->GetFlag(), 1);
  EXPECT_NE(E::ClassId(), nullptr);
  EXPECT_EQ(E::CreateItself(), nullptr);
  EXPECT_EQ(QueryMetaObject(name), E::MetaObject());
}

TEST(EventClasses, CarryAMetaObjectUnderKIVNotification) {
  ExpectEventClass<NavViewerExtandVIEWER_SETTING_MODIFIEDEvt>("NavViewerExtandVIEWER_SETTING_MODIFIEDEvt");
  ExpectEventClass<NavViewerExtandNAVIGATION_EXTERNAL_STATEEvt>("NavViewerExtandNAVIGATION_EXTERNAL_STATEEvt");
  ExpectEventClass<NavViewerExtandNAVIGATION_TOOLS_BARRE_STATEEvt>("NavViewerExtandNAVIGATION_TOOLS_BARRE_STATEEvt");
  ExpectEventClass<NavViewpointManipulateVIEWPOINT_STATE_MODIFIEDEvt>("NavViewpointManipulateVIEWPOINT_STATE_MODIFIEDEvt");
  ExpectEventClass<NavListGenericOBJECT_UPDATEDEvt>("NavListGenericOBJECT_UPDATEDEvt");
  ExpectEventClass<NavSimpleGraphEDIT_GRAPH_SETTINGEvt>("NavSimpleGraphEDIT_GRAPH_SETTINGEvt");
  ExpectEventClass<KIVSiLaGridGRID_GRAPHIC_CHANGEDEvt>("KIVSiLaGridGRID_GRAPHIC_CHANGEDEvt");
  EXPECT_EQ(NavViewerExtandVIEWER_SETTING_MODIFIEDEvt::MetaObject()->IsAKindOf("KIVBaseUnknown"), 1);
}

struct Listener : KIVEventSubscriber {
  int calls = 0;
  void ChangedCB(const char* event, void* publisher, KIVNotification* n, void*, KIVCallback) {
    EXPECT_EQ(event, TestPublisher::SOMETHING_CHANGED());
    EXPECT_NE(publisher, nullptr);
    EXPECT_EQ(n, nullptr);
    ++calls;
  }
};

TEST(EventClasses, AccessorReturnsOneStableNameThatSubscribersUse) {
  EXPECT_STREQ(TestPublisher::SOMETHING_CHANGED(), "TestPublisherSOMETHING_CHANGEDEvt");
  EXPECT_EQ(TestPublisher::SOMETHING_CHANGED(), TestPublisher::SOMETHING_CHANGED());
  EXPECT_EQ(TestPublisher::SOMETHING_CHANGED(), TestPublisherSOMETHING_CHANGEDEvt::ClassName());
  TestPublisher publisher;
  Listener listener;
  const KIVCallback id = listener.AddCallback(&publisher, TestPublisher::SOMETHING_CHANGED(), &Listener::ChangedCB, nullptr);
  publisher.Change();
  listener.RemoveCallback(&publisher, id);
  publisher.Change();
  EXPECT_EQ(listener.calls, 1);
}

}  // namespace
