#include "AppStrings.h"

#include "IControlApplication.h"
#include "LControlFactory.h"

QV::String FindAppString(const QV::String& id)
{
    QV::IControlApplication* application = QV::GetControlApplication();
    auto* factory = application ? dynamic_cast<QV::LControlFactory*>(application->GetControlFactory()) : nullptr;
    QV::RCPtr<QV::LStringTable> table = factory ? factory->GetDefaultStringTable() : nullptr;
    QV::String text;
    if (table) (void)table->GetString(id, text);
    return text;
}

QV::String GetAppString(const QV::String& id)
{
    QV::String text = FindAppString(id);
    return text.IsEmpty() ? id : text;
}
