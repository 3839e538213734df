#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Buffer.h"
#include "RCPtr.h"
#include "StringT.h"

namespace {

using namespace QV;

// Counts its destructions so tests can see when an object goes.
class Tracked : public LRefCountedObject {
    QV_TYPE_NAME("class Tracked")
public:
    explicit Tracked(int* destroyed) : mDestroyed(destroyed) {}
    ~Tracked() override { ++*mDestroyed; }

private:
    int* mDestroyed;
};

// Copyable object, for copy-on-write.
class Cloneable : public LRefCountedObject {
    QV_TYPE_NAME("class Cloneable")
public:
    int value = 0;
    RCPtr<LRefCountedObject> CreateCopy() const override
    {
        auto* copy = new Cloneable();
        copy->value = value;
        return RCPtr<LRefCountedObject>(copy);
    }
};

// Its copy is of another class, so Unshare cannot produce a T.
class WrongCopy : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LPixelBuffer<long>")
public:
    RCPtr<LRefCountedObject> CreateCopy() const override { return RCPtr<LRefCountedObject>(new Cloneable()); }
};

TEST(RefCountedObjectTest, CountsAndDestruction)
{
    int destroyed = 0;
    auto* raw = new Tracked(&destroyed);
    EXPECT_EQ(raw->GetRefCount(), 0);
    {
        RCPtr<Tracked> a(raw);
        EXPECT_EQ(raw->GetRefCount(), 1);
        {
            RCPtr<Tracked> b = a;
            EXPECT_EQ(raw->GetRefCount(), 2);
            b = a;  // same object: no change
            EXPECT_EQ(raw->GetRefCount(), 2);
            a = a;
            EXPECT_EQ(raw->GetRefCount(), 2);
        }
        EXPECT_EQ(raw->GetRefCount(), 1);
        ConstRCPtr<Tracked> moved = std::move(a);
        EXPECT_EQ(raw->GetRefCount(), 1);
        EXPECT_TRUE(a.IsNull());
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(RefCountedObjectTest, AssignmentAcquiresNewBeforeReleasingOld)
{
    int destroyed = 0;
    RCPtr<Tracked> a(new Tracked(&destroyed));
    RCPtr<Tracked> b(new Tracked(&destroyed));
    a = b;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(b->GetRefCount(), 2);
    a = nullptr;
    b = nullptr;
    EXPECT_EQ(destroyed, 2);
}

TEST(RefCountedObjectTest, BaseUndoAndCreateCopyRaiseLogicErrors)
{
    RCPtr<LRefCountedObject> p(new LRefCountedObject());
    try {
        p->Undo();
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "Logic Error : Undo() not implemented for RefCountedObject : QV::LRefCountedObject::Undo : "
                     "qvframework\\objectbase\\RefCountedObject : Line 155");
    }
    try {
        p->CreateCopy();
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "Logic Error : CreateCopy() not implemented for RefCountedObject : "
                     "QV::LRefCountedObject::CreateCopy : qvframework\\objectbase\\RefCountedObject : Line 228");
    }
}

TEST(RefCountedObjectTest, UnshareHeldOnceIsNoOp)
{
    RCPtr<Cloneable> a(new Cloneable());
    const Cloneable* before = a.Get();
    a.Unshare();
    EXPECT_EQ(a.Get(), before);
    EXPECT_EQ(a->GetRefCount(), 1);
}

TEST(RefCountedObjectTest, UnshareSharedGivesPrivateCopy)
{
    RCPtr<Cloneable> a(new Cloneable());
    a->value = 7;
    RCPtr<Cloneable> b = a;
    a.Unshare();
    EXPECT_NE(a.Get(), b.Get());
    EXPECT_EQ(a->GetRefCount(), 1);
    EXPECT_EQ(b->GetRefCount(), 1);
    EXPECT_EQ(a->value, 7);
}

TEST(RefCountedObjectTest, UnshareWithoutCreateCopyRaisesFromCreateCopy)
{
    int destroyed = 0;
    RCPtr<Tracked> a(new Tracked(&destroyed));
    RCPtr<Tracked> b = a;
    try {
        a.Unshare();
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Logic Error : CreateCopy() not implemented for RefCountedObject", 0), 0u);
    }
}

TEST(RefCountedObjectTest, UnshareWrongTypeNamesTemplateWithBlank)
{
    RCPtr<WrongCopy> a(new WrongCopy());
    RCPtr<WrongCopy> b = a;
    try {
        a.Unshare();
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "Logic Error : class QV::LPixelBuffer<long> : QV::ConstRCPtr<class QV::LPixelBuffer<long> >::Unshare : "
                     "qvframework\\objectbase\\RefCountedObject : Line 369");
    }
    EXPECT_TRUE(a.IsNull());
    EXPECT_EQ(b->GetRefCount(), 1);
}

TEST(RefCountedObjectTest, UnshareBufferMessageSpellsLIBuffer)
{
    EXPECT_EQ(std::string("QV::ConstRCPtr<") + CloseTemplateName(TypeNameOf<LIBuffer>()),
              "QV::ConstRCPtr<class QV::LIBuffer>");
}

TEST(RefCountedObjectTest, SetUnshareable)
{
    RCPtr<Cloneable> a(new Cloneable());
    a->SetUnshareable(true);
    EXPECT_FALSE(a->IsShareable());
    a->SetUnshareable(false);
    RCPtr<Cloneable> b = a;
    try {
        a->SetUnshareable(true);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "Runtime Error : QV::LRefCountedObject::SetUnshareable : ObjectBase\\RefCountedObject : Line 29");
    }
    EXPECT_TRUE(a->IsShareable());
}

TEST(RefCountedObjectTest, AcquiringUnshareableObjectCopiesIt)
{
    RCPtr<Cloneable> a(new Cloneable());
    a->value = 3;
    a->SetUnshareable(true);
    RCPtr<Cloneable> b = a;
    EXPECT_NE(a.Get(), b.Get());
    EXPECT_EQ(b->value, 3);
    EXPECT_TRUE(b->IsShareable());
    EXPECT_EQ(a->GetRefCount(), 1);
}

// Holds internal references to itself, as a registered client does.
class CycleHolder : public LRefCountedObject {
    QV_TYPE_NAME("class CycleHolder")
public:
    int hookRuns = 0;
    std::vector<RCPtr<CycleHolder>> selfRefs;
    void TakeInternal()
    {
        selfRefs.emplace_back(this);
        AddInternalReference();
    }
    QVResult ReleaseInternalReferences() override
    {
        ++hookRuns;
        *counter = hookRuns;
        // Each drop re-enters Release while the hook runs.
        while (!selfRefs.empty()) {
            RemoveInternalReference();
            selfRefs.pop_back();
        }
        return S_OK;
    }
    int* counter = nullptr;
};

TEST(RefCountedObjectTest, ReleaseHookRunsOnceUnderReentrantReleases)
{
    int runs = 0;
    auto* obj = new CycleHolder();
    obj->counter = &runs;
    RCPtr<CycleHolder> outside(obj);
    obj->TakeInternal();
    obj->TakeInternal();
    EXPECT_EQ(obj->GetRefCount(), 3);
    EXPECT_EQ(obj->GetInternalRefCount(), 2);
    outside = nullptr;  // destroys it: the hook dropped both internal refs
    EXPECT_EQ(runs, 1);
}

TEST(RefCountedObjectTest, ToStringGivesSpelledClassName)
{
    RCPtr<Cloneable> a(new Cloneable());
    const String s = a->ToString();
    EXPECT_EQ(std::u16string(s.GetChars()), u"class Cloneable");
}

TEST(RefCountedObjectTest, ConcurrentAddRefReleaseKeepsCount)
{
    int destroyed = 0;
    RCPtr<Tracked> shared(new Tracked(&destroyed));
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                RCPtr<Tracked> copy = shared;
                ConstRCPtr<Tracked> second = copy;
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(shared->GetRefCount(), 1);
    EXPECT_EQ(destroyed, 0);
    shared = nullptr;
    EXPECT_EQ(destroyed, 1);
}

TEST(RefCountedObjectTest, DynamicCastFailureGivesNull)
{
    RCPtr<LRefCountedObject> base(new Cloneable());
    EXPECT_FALSE(RCPtr<Cloneable>::DynamicCast(base).IsNull());
    EXPECT_TRUE(RCPtr<Tracked>::DynamicCast(base).IsNull());
}

}  // namespace

namespace {

struct HookRecord {
    int runs = 0;
    int32_t seenCount = -1;
    int32_t seenInternal = -1;
};

// Records what its release hook sees, then drops its internal references.
class HookObserver : public LRefCountedObject {
    QV_TYPE_NAME("class HookObserver")
public:
    explicit HookObserver(HookRecord& record) : mRecord(record) {}
    void TakeInternal(int count)
    {
        for (int i = 0; i < count; ++i) {
            mSelfRefs.emplace_back(this);
            AddInternalReference();
        }
    }
    void DropInternal()
    {
        while (!mSelfRefs.empty()) {
            RemoveInternalReference();
            mSelfRefs.pop_back();
        }
    }
    QVResult ReleaseInternalReferences() override
    {
        ++mRecord.runs;
        mRecord.seenCount = GetRefCount();
        mRecord.seenInternal = GetInternalRefCount();
        DropInternal();
        return HeldOnlyByCaller();
    }

private:
    HookRecord& mRecord;
    std::vector<RCPtr<HookObserver>> mSelfRefs;
};

}  // namespace

// Both counts share one word: each is read and changed apart from the other,
// and the hook is due exactly when the reference going is the last one from
// outside the cycle; it runs once, while that reference still counts.
TEST(RefCountedObjectTest, ReleaseHookDueOnlyForTheLastOutsideReference)
{
    struct Case {
        int outside;
        int internal;
        bool due;
    };
    const Case cases[] = {{2, 0, false}, {1, 0, false}, {2, 1, false}, {1, 1, true}, {1, 3, true}, {3, 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outside << " outside, " << c.internal << " internal");
        HookRecord record;
        auto* object = new HookObserver(record);
        std::vector<RCPtr<HookObserver>> outside;
        for (int i = 0; i < c.outside; ++i) outside.emplace_back(object);
        object->TakeInternal(c.internal);
        EXPECT_EQ(object->GetRefCount(), c.outside + c.internal);
        EXPECT_EQ(object->GetInternalRefCount(), c.internal);

        outside.pop_back();
        EXPECT_EQ(record.runs, c.due ? 1 : 0);
        if (c.due) {
            EXPECT_EQ(record.seenCount, c.internal + 1);
            EXPECT_EQ(record.seenInternal, c.internal);
            continue;  // the hook let the object go
        }
        if (c.outside > 1) {
            EXPECT_EQ(object->GetRefCount(), c.outside + c.internal - 1);
            EXPECT_EQ(object->GetInternalRefCount(), c.internal);
            object->DropInternal();
        }
        outside.clear();
        EXPECT_EQ(record.runs, 0);
    }
}
