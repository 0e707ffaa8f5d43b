#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/core/KIVApplication.h"
#include "host/core/KIVCommand.h"
#include "host/core/KIVDictionary.h"
#include "host/core/KIVNotification.h"

class TestShape : public KIVCommand {
  KIV_DECLARE_METAOBJECT(TestShape)
};
KIV_IMPLEMENT_METAOBJECT(TestShape, KIVCommand)

class TestCircle : public TestShape {
  KIV_DECLARE_METAOBJECT(TestCircle)
};
KIV_IMPLEMENT_METAOBJECT(TestCircle, TestShape)

// Its record is created by someone else before the class first asks for it.
class TestPreRegistered : public KIVNotification {
  KIV_DECLARE_METAOBJECT(TestPreRegistered)
};
KIV_IMPLEMENT_METAOBJECT(TestPreRegistered, KIVNotification)

namespace {

TEST(MetaObject, RegistrationGivesOneRecordWithIdFlagAndParent) {
  KIVMetaObject* meta = TestCircle::MetaObject();
  EXPECT_EQ(meta, TestCircle::MetaObject());
  EXPECT_EQ(meta, QueryMetaObject("TestCircle"));
  EXPECT_STREQ(TestCircle::ClassName(), "TestCircle");
  ASSERT_NE(TestCircle::ClassId(), nullptr);
  EXPECT_NE(std::string(TestCircle::ClassId()), std::string(TestShape::ClassId()));
  EXPECT_EQ(QueryDictionary(TestCircle::ClassId()), meta);
  EXPECT_EQ(meta->GetFlag(), 1);
  EXPECT_EQ(meta->GetParent(), TestShape::MetaObject());
  EXPECT_EQ(TestShape::MetaObject()->GetParent(), KIVCommand::MetaObject());
  EXPECT_EQ(TestCircle::CreateItself(), nullptr);
}

TEST(MetaObject, ExistingRecordWithoutIdreceivesOne) {
  KIVMetaObject* early = fct_FindMetaObject("TestPreRegistered");
  ASSERT_EQ(early->GetClassId(), nullptr);
  EXPECT_EQ(TestPreRegistered::MetaObject(), early);
  EXPECT_NE(early->GetClassId(), nullptr);
  EXPECT_EQ(early->GetParent(), KIVNotification::MetaObject());
}

TEST(MetaObject, IsAKindOfWalksTheWholeChainByText) {
  TestCircle circle;
  KIVBaseUnknown* base = &circle;
  EXPECT_STREQ(base->IsA(), "TestCircle");
  EXPECT_EQ(base->GetMetaObject(), TestCircle::MetaObject());
  for (const char* name : {"TestCircle", "TestShape", "KIVCommand", "KIVEventSubscriber", "KIVBaseUnknown"}) {
    std::string copy = name;  // a different pointer to the same text
    EXPECT_EQ(base->IsAKindOf(copy.c_str()), 1) << name;
  }
  EXPECT_EQ(base->IsAKindOf("KIVNotification"), 0);
  EXPECT_EQ(base->IsAKindOf(nullptr), 0);
  EXPECT_EQ(base->IsAKindOf(""), 0);
  TestShape shape;
  EXPECT_EQ(shape.IsAKindOf("TestCircle"), 0);
}

TEST(MetaObject, DictionaryRejectsDuplicateAndNullIdentifiers) {
  const char* a = fct_CreateCLSID();
  const char* b = fct_CreateCLSID();
  EXPECT_STRNE(a, b);
  KIVMetaObject* m = fct_FindMetaObject("TestDictionaryEntry");
  EXPECT_EQ(AddDictionary(a, CLSID_KIVMetaClass, "TestDictionaryEntry", "MetaObject", nullptr, m, nullptr, nullptr), 1);
  EXPECT_EQ(AddDictionary(a, CLSID_KIVMetaClass, "Other", "MetaObject", nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(QueryDictionary(a), m);
  EXPECT_EQ(AddDictionary(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(QueryMetaObject(nullptr), nullptr);
  EXPECT_EQ(fct_FindMetaObject(nullptr), nullptr);
}

TEST(MetaObject, ParentCycleIsRefused) {
  KIVMetaObject* a = fct_FindMetaObject("TestCycleA");
  KIVMetaObject* b = fct_FindMetaObject("TestCycleB");
  b->SetParent(a);
  a->SetParent(b);  // would loop forever in IsAKindOf
  EXPECT_EQ(a->GetParent(), nullptr);
  EXPECT_EQ(b->IsAKindOf("TestCycleA"), 1);
  EXPECT_EQ(a->IsAKindOf("TestCycleB"), 0);
}

TEST(MetaObject, HostApplicationIsInteractive) {
  KIVApplication* app = KIVApplication::MainApplication();
  EXPECT_EQ(app, KIVApplication::MainApplication());
  EXPECT_TRUE(app->IsAKindOf("KIVInteractiveApplication"));
  EXPECT_TRUE(app->IsAKindOf("KIVApplication"));
}

}  // namespace
