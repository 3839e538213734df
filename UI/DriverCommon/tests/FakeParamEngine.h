#pragma once
// An engine for tests: holds 15 values (the keyboard's factory settings)
// and records what is sent to it.
#include <functional>
#include <string>
#include <vector>

#include "IParamEngine.h"
#include "LRootModuleEngine.h"
#include "TarselKeyboard.h"

namespace driver_test {

inline QV::Variant Blob(const std::vector<uint8_t>& bytes)
{
    QV::Variant value;
    value.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return value;
}

inline std::vector<uint8_t> BytesOf(const QV::Variant& value)
{
    uint32_t size = 0;
    const uint8_t* data = value.GetData(size);
    return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

class FakeParamEngine : public QV::IParamEngine {
public:
    FakeParamEngine()
    {
        for (int i = 0; i < 15; ++i) values.push_back(Blob(Platform::TarselKeyboard::DefaultBlob(i)));
    }

    bool IsAvailable() override { return available; }
    int32_t GetFirstParamID() override { return firstID; }
    QV::QVResult GetParamValues(int32_t first, int32_t count, QV::Array<QV::ParamValue>& out) override
    {
        if (getResult < 0) return getResult;
        const int32_t n = std::min<int32_t>(count, static_cast<int32_t>(values.size()));
        out.SetCount(static_cast<uint32_t>(n));
        for (int32_t i = 0; i < n; ++i) {
            out.GetItemPtr(static_cast<uint32_t>(i))->descriptor.id = first + i;
            out.GetItemPtr(static_cast<uint32_t>(i))->value = values[static_cast<size_t>(i)];
        }
        return QV::S_OK;
    }
    QV::QVResult SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value) override
    {
        sent.push_back({descriptor.id, value});
        if (onSet) onSet(descriptor.id);
        return setResult;
    }
    QV::QVResult GetDeviceConfiguration(QV::Variant& configuration) override
    {
        ++configurationReads;
        configuration = this->configuration;
        return configurationResult;
    }
    QV::RCPtr<LRootModuleEngine> GetEngine() override { return nullptr; }

    struct Sent {
        int32_t id;
        QV::Variant value;
    };
    bool available = true;
    int32_t firstID = 0;
    std::vector<QV::Variant> values;
    QV::QVResult getResult = QV::S_OK;
    QV::QVResult setResult = QV::S_OK;
    std::vector<Sent> sent;
    std::function<void(int32_t)> onSet;
    QV::Variant configuration = Blob({1, 2, 3, 4});
    QV::QVResult configurationResult = QV::S_OK;
    int configurationReads = 0;
};

}  // namespace driver_test
