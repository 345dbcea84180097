// Math: the constants and functions of the global Math object.

#include "avm1/State.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace avm1 {

void installMath(Machine& m) {
    Object* math = m.newObject();
    m.define(m.global(), "Math", Value(math));
    auto constant = [&](std::string_view name, double v) {
        m.define(math, name, Value(v), attr::Hidden | attr::ReadOnly);
    };
    constant("E", M_E);
    constant("LN10", M_LN10);
    constant("LN2", M_LN2);
    constant("LOG10E", M_LOG10E);
    constant("LOG2E", M_LOG2E);
    constant("PI", M_PI);
    constant("SQRT1_2", M_SQRT1_2);
    constant("SQRT2", M_SQRT2);
    using Unary = double (*)(double);
    auto unary = [&](std::string_view name, Unary f) {
        m.defineMethod(math, name, [f](CallArgs& c) -> Value {
            if (c.count() == 0) {
                return Value(std::numeric_limits<double>::quiet_NaN());
            }
            return Value(f(c.machine.toNumber(c.arg(0))));
        });
    };
    unary("abs", [](double x) { return std::fabs(x); });
    unary("acos", [](double x) { return std::acos(x); });
    unary("asin", [](double x) { return std::asin(x); });
    unary("atan", [](double x) { return std::atan(x); });
    unary("ceil", [](double x) { return std::ceil(x); });
    unary("cos", [](double x) { return std::cos(x); });
    unary("exp", [](double x) { return std::exp(x); });
    unary("floor", [](double x) { return std::floor(x); });
    unary("log", [](double x) { return std::log(x); });
    unary("round", [](double x) { return std::floor(x + 0.5); });
    unary("sin", [](double x) { return std::sin(x); });
    unary("sqrt", [](double x) { return std::sqrt(x); });
    unary("tan", [](double x) { return std::tan(x); });
    m.defineMethod(math, "atan2", [](CallArgs& c) -> Value {
        if (c.count() < 2) {
            return Value(std::numeric_limits<double>::quiet_NaN());
        }
        return Value(std::atan2(c.machine.toNumber(c.arg(0)), c.machine.toNumber(c.arg(1))));
    });
    m.defineMethod(math, "pow", [](CallArgs& c) -> Value {
        if (c.count() < 2) {
            return Value(std::numeric_limits<double>::quiet_NaN());
        }
        return Value(std::pow(c.machine.toNumber(c.arg(0)), c.machine.toNumber(c.arg(1))));
    });
    // max and min take two numbers, as the class reference gives them: a third is not
    // looked at, and one alone is converted but no pair (NaN); with none they answer their
    // identity. The first wins only when strictly beyond the second, so of 0 and -0 the
    // second comes back.
    auto extreme = [&](std::string_view name, bool max) {
        m.defineMethod(math, name, [max](CallArgs& c) -> Value {
            if (c.count() == 0) {
                return Value(max ? -std::numeric_limits<double>::infinity()
                                 : std::numeric_limits<double>::infinity());
            }
            const double a = c.machine.toNumber(c.arg(0));
            if (c.count() == 1) {
                return Value(std::numeric_limits<double>::quiet_NaN());
            }
            const double b = c.machine.toNumber(c.arg(1));
            if (std::isnan(a) || std::isnan(b)) {
                return Value(std::numeric_limits<double>::quiet_NaN());
            }
            return Value((max ? a > b : a < b) ? a : b);
        });
    };
    extreme("max", true);
    extreme("min", false);
    m.defineMethod(math, "random", [](CallArgs& c) -> Value {
        std::uniform_real_distribution<double> d(0.0, 1.0);
        return Value(d(c.machine.state().random));
    });
}

} // namespace avm1
