#include "UpDownText.h"

#include <algorithm>
#include <cmath>

namespace QV {

String UpDownAllowedCharacters(double minimum)
{
    return minimum < 0.0 ? String(u"0123456789-") : String(u"0123456789");
}

std::optional<double> ParseUpDownText(const String& text, double minimum, double maximum)
{
    const std::u16string_view view = text.View();
    size_t i = 0;
    const bool negative = !view.empty() && view[0] == u'-';
    if (negative) {
        if (minimum >= 0.0) return std::nullopt;
        i = 1;
    }
    if (i == view.size()) return std::nullopt;
    double value = 0.0;
    for (; i < view.size(); ++i) {
        if (view[i] < u'0' || view[i] > u'9') return std::nullopt;
        value = value * 10.0 + (view[i] - u'0');
    }
    if (negative) value = -value;
    return std::clamp(value, std::min(minimum, maximum), std::max(minimum, maximum));
}

String FormatUpDownValue(double value, int32_t decimals)
{
    String format;
    format.Format(u"%%0.%df", static_cast<int>(std::max(0, decimals)));
    String out;
    out.Format(format.GetChars(), value);
    return out;
}

}  // namespace QV
