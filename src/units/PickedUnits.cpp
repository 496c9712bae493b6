#include "units/PickedUnits.h"

#include "units/NumberUnits.h"

std::pair<std::string, std::string> SplitAtSlash(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) return {text, {}};
    return {text.substr(0, slash), text.substr(slash + 1)};
}

std::string JoinPickedUnit(const std::string& current, const std::string& picked, bool intoDenominator) {
    const auto [cn, cd] = SplitAtSlash(current);
    const auto [pn, pd] = SplitAtSlash(picked);
    return cn + "*" + (intoDenominator ? pd : pn) + "/" + cd + "*" + (intoDenominator ? pn : pd);
}

std::optional<std::string> ReducedUnitText(const std::string& text) {
    const std::string stripped = StripIgnoredChars(text);
    if (stripped.empty()) return std::string();
    const NormalizedQuantity normalized = NormalizeQuantityText(stripped);
    // The reading stops at a character that belongs to no unit: the text is refused, not cut short.
    if (!normalized.stray.empty()) return std::nullopt;
    const ParseResult parsed = ParseUnitList(normalized.unitText);
    if (!parsed.ok) return std::nullopt;
    return RenderUnitLists(parsed.lists, RenderKind::Names);
}

std::optional<std::string> AddPickedUnit(const std::string& current, const std::string& picked,
                                         bool intoDenominator) {
    return ReducedUnitText(JoinPickedUnit(current, picked, intoDenominator));
}

std::string StartingUnits(const std::string& quantityText) {
    const std::string stripped = StripIgnoredChars(quantityText);
    return stripped.empty() ? std::string() : NormalizeQuantityText(stripped).unitText;
}
