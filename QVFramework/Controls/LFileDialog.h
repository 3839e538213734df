#pragma once
// The desktop's open and save file choosers, asked by the application with a
// starting folder. Not a control of the skin: a plain object that remembers
// the chosen path and the folder the next chooser starts in.
#include <memory>

#include "RefCountedObject.h"
#include "Result.h"
#include "StringT.h"

namespace QV {

class LFileDialog : public LRefCountedObject {
public:
    explicit LFileDialog(const String& folder);
    ~LFileDialog() override;

    // filter: "description|patterns|description|patterns...", patterns
    // separated by ";". 0 when the user chose a file, E_FAIL otherwise.
    [[nodiscard]] QVResult ShowOpenDialog(const String& filter, const String& defaultExtension, const String& title,
                            bool allowMultiple);
    [[nodiscard]] QVResult ShowSaveDialog(const String& filter, const String& defaultExtension, const String& title);

    String GetFilePath() const;
    const String& GetFolderPath() const;

    const char* GetTypeName() const override { return kTypeName; }
    static constexpr const char* kTypeName = "class QV::LFileDialog";

private:
    struct Block;
    std::unique_ptr<Block> mBlock;
};

}  // namespace QV
