#pragma once
// Shortcut bindings: command (a notification name) -> the keys that send it.
// A key belongs to one command at most: the first binding wins.
#include <map>
#include <utility>
#include <vector>

#include "KeyCode.h"
#include "NotificationNameTable.h"
#include "Result.h"

namespace QV {

class KeyMap {
public:
    using StringPairs = std::vector<std::pair<String, String>>;

    // Binds every pair whose id begins with prefix + "." to the command after
    // the id's last "."; E_INVALIDARG for no pairs.
    [[nodiscard]] QVResult LoadFromPairs(const StringPairs* pairs, const String& prefix);
    // E_INVALIDARG when the key matches one already bound, the command is
    // empty, or the key has neither a key nor a character.
    [[nodiscard]] QVResult AddBinding(const KeyCode& key, const String& command);
    // The empty string when no command has a matching key.
    String FindCommandForKey(const KeyCode& key) const;
    std::vector<KeyCode> GetKeysForCommand(const String& command) const;
    bool HasCommand(const String& command) const;
    void Clear() { mBindings.clear(); }
    bool IsEmpty() const { return mBindings.empty(); }

private:
    bool IsBound(const KeyCode& key) const;

    std::map<NotificationID, std::vector<KeyCode>> mBindings;
};

}  // namespace QV
