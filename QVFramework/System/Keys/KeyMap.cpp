#include "KeyMap.h"

namespace QV {

QVResult KeyMap::LoadFromPairs(const StringPairs* pairs, const String& prefix)
{
    if (pairs == nullptr) return E_INVALIDARG;
    const String head = prefix + String(u".");
    for (const auto& [id, text] : *pairs) {
        if (id.Left(head.GetLength()) != head) continue;
        const KeyCode key = KeyCode::Parse(text);
        if (key.code & KeyCode::kNoKey) continue;
        // A key bound already keeps its first command.
        (void)AddBinding(key, id.Mid(static_cast<uint32_t>(id.ReverseFind(u'.') + 1)));
    }
    return S_OK;
}

QVResult KeyMap::AddBinding(const KeyCode& key, const String& command)
{
    // An empty key would fire on a key message that carries no key at all.
    if (command.IsEmpty() || key.IsEmpty() || IsBound(key)) return E_INVALIDARG;
    mBindings[NotificationNameTable::GetNotificationID(command.GetChars())].push_back(key);
    return S_OK;
}

bool KeyMap::IsBound(const KeyCode& key) const
{
    for (const auto& [id, keys] : mBindings) {
        for (const KeyCode& bound : keys) {
            if (KeyCode::Matches(bound, key)) return true;
        }
    }
    return false;
}

String KeyMap::FindCommandForKey(const KeyCode& key) const
{
    for (const auto& [id, keys] : mBindings) {
        for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
            if (KeyCode::Matches(*it, key)) return String(id);
        }
    }
    return String();
}

std::vector<KeyCode> KeyMap::GetKeysForCommand(const String& command) const
{
    if (command.IsEmpty()) return {};
    auto it = mBindings.find(NotificationNameTable::GetNotificationID(command.GetChars()));
    return it == mBindings.end() ? std::vector<KeyCode>() : it->second;
}

bool KeyMap::HasCommand(const String& command) const
{
    if (command.IsEmpty()) return false;
    return mBindings.count(NotificationNameTable::GetNotificationID(command.GetChars())) != 0;
}

}  // namespace QV
