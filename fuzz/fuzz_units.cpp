// Feeds arbitrary bytes to the quantity type: as a quantity text, as a conversion target and as the
// source of an exponent. Nothing may crash, hang or leak, and whatever is stored must be finite.
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"
#include "units/UnitNames.h"
#include "units/Utf8Text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        InitUnitTables();
        return true;
    }();
    (void)ready;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // First half: the quantity; second half: the conversion target; the last bytes: an exponent.
    const std::string_view text = input.substr(0, size / 2);
    const std::string_view target = input.substr(size / 2);

    TNumberUnits q;
    q.SetText(text);
    q.SetText("1 m");
    // Whatever the input's bytes (typographic UTF-8, broken sequences), what is read back is written
    // in the catalogue's ASCII names, and a refusal says why.
    if (q.SetText(text)) {
        for (char c : q.GetText())
            if (static_cast<unsigned char>(c) >= 0x80) std::abort();
    } else if (q.GetErrorText().empty()) {
        std::abort();
    }
    (void)unitnames::DescribeProblem(target);
    (void)utf8text::AsciiSpelling(target);
    try {
        q.ConvertTo(target);
    } catch (const ENumberException&) {
    }
    q.ConvertToPreferred();
    double exponent = 2;
    if (size >= sizeof(double)) std::memcpy(&exponent, data + size - sizeof(double), sizeof(double));
    q.RaiseToPower(exponent);
    q.RaiseToPower(size % 2 ? -1 : 0.5);
    if (!q.Empty && (!std::isfinite(q.Value) || !std::isfinite(q.BaseValue))) std::abort();
    (void)q.GetText();

    const ParseResult parsed = ParseUnitList(text);
    if (parsed.ok) (void)RenderUnitLists(parsed.lists, RenderKind::Expansions);
    try {
        (void)SimplifyBaseText(target);
    } catch (const E&) {
    }
    return 0;
}
