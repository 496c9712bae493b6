// The full text the program stores and saves must read back as exactly the value it held.
#include "units/NumberFormat.h"
#include "units/NumberUnits.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

using Limits = std::numeric_limits<double>;

std::string Shortest(double v) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, end);
}

// Values at the ends of the range, subnormals, zeros and values one step below a place where a
// fifteen- or sixteen-digit rounding carries into the next digit.
std::vector<double> EdgeValues() {
    std::vector<double> v{Limits::max(), Limits::min(), Limits::denorm_min(),
                          0.0,           -0.0,          std::nextafter(Limits::min(), 0.0),
                          2.5e-320,      1.0,           0.1,
                          1e-5,          1e15,          1e16,
                          1e22};
    for (double boundary : {1.0, 0.5, 10.0, 1e15, 1e16, 1e17, 1e-15, 0.001, 1e300, 1e-300, 0.05, 9.5})
        for (int steps = 1; steps <= 3; ++steps) {
            double x = boundary;
            for (int i = 0; i < steps; ++i) x = std::nextafter(x, 0.0);
            v.push_back(x);
            v.push_back(std::nextafter(boundary, Limits::infinity()));
        }
    const size_t n = v.size();
    for (size_t i = 0; i < n; ++i) v.push_back(-v[i]);
    return v;
}

// Random doubles: any bit pattern that is finite, and decimal values of random length and
// exponent one step below or above themselves.
std::vector<double> RandomValues(size_t count) {
    std::mt19937_64 random(20241207);
    std::vector<double> v;
    while (v.size() < count) {
        const double bits = std::bit_cast<double>(random());
        if (std::isfinite(bits)) v.push_back(bits);
        const int digits = 1 + static_cast<int>(random() % 17);
        const int exponent = static_cast<int>(random() % 600) - 300;
        const std::string text =
            std::to_string(random() % static_cast<std::uint64_t>(std::pow(10.0, digits))) + "e" +
            std::to_string(exponent);
        double decimal = 0;
        std::from_chars(text.data(), text.data() + text.size(), decimal);
        v.push_back(std::nextafter(decimal, random() % 2 ? 0.0 : Limits::infinity()));
    }
    return v;
}

TEST(SavedFullText, EveryFiniteValueReadsBackAsTheSameDouble) {
    InitUnitTables();
    std::vector<double> values = EdgeValues();
    const auto random = RandomValues(4000);
    values.insert(values.end(), random.begin(), random.end());
    int failures = 0;
    for (double v : values) {
        if (!std::isfinite(v)) continue;
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(Shortest(v) + " kg*m/sec^2")) << Shortest(v);
        ASSERT_EQ(q.GetValue(), v);
        for (int notation = 0; notation < NotationCount; ++notation) {
            const std::string full = FullText(q, NotationFromInt(notation));
            TNumberUnits back;
            const bool read = back.SetText(full) && !back.Empty;
            // Zero comes back as zero: the texts never carry a minus sign on nothing.
            const bool same = read && (v == 0 ? back.GetValue() == 0
                                              : std::bit_cast<std::uint64_t>(back.GetValue()) ==
                                                    std::bit_cast<std::uint64_t>(v));
            if (!same || back.GetUnits() != q.GetUnits()) {
                ADD_FAILURE() << Shortest(v) << " in notation " << notation << " saved as " << full
                              << " reads back as " << (read ? Shortest(back.GetValue()) : "nothing");
                if (++failures > 20) return;
            }
        }
    }
}

} // namespace
