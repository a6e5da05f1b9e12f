#include "damagemodel.h"

#include <algorithm>
#include <cmath>

namespace runetally {
namespace {

int Degree(const Polynomial& p) {
    for (int d = 3; d >= 0; --d) {
        if (p[static_cast<std::size_t>(d)] != 0) {
            return d;
        }
    }
    return -1;
}

double ValueAt(const Polynomial& p, double u) {
    return ((p[3] * u + p[2]) * u + p[1]) * u + p[0];
}

// The formulas never reach the fourth degree: a stat squared at most, over one input.
Polynomial Times(const Polynomial& a, const Polynomial& b) {
    Polynomial out{};
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (std::size_t j = 0; i + j < out.size(); ++j) {
            out[i + j] += a[i] * b[j];
        }
    }
    return out;
}

Polynomial Minus(const Polynomial& a, const Polynomial& b) {
    Polynomial out{};
    for (std::size_t i = 0; i < a.size(); ++i) {
        out[i] = a[i] - b[i];
    }
    return out;
}

Polynomial Derivative(const Polynomial& p) {
    return {p[1], 2 * p[2], 3 * p[3], 0};
}

// The damage's steps on fractions of polynomials, in the calculation's order.
struct Fraction {
    Polynomial n{};
    Polynomial d{1, 0, 0, 0};

    static Fraction Constant(double c) { return {{c, 0, 0, 0}}; }
    friend Fraction operator+(const Fraction& a, const Fraction& b) {
        Polynomial n = Times(a.n, b.d);
        const Polynomial m = Times(b.n, a.d);
        for (std::size_t i = 0; i < n.size(); ++i) {
            n[i] += m[i];
        }
        return {n, Times(a.d, b.d)};
    }
    friend Fraction operator*(const Fraction& a, const Fraction& b) {
        return {Times(a.n, b.n), Times(a.d, b.d)};
    }
    friend Fraction operator/(const Fraction& a, const Fraction& b) {
        return {Times(a.n, b.d), Times(a.d, b.n)};
    }
};

// The roots of a polynomial of degree 2 at most: exact where the quotient of the coefficients
// is, and without the cancellation of the schoolbook formula.
std::vector<double> LowRoots(const Polynomial& p) {
    const double a = p[2], b = p[1], c = p[0];
    if (a == 0) {
        return b == 0 ? std::vector<double>{} : std::vector<double>{-c / b};
    }
    const double discriminant = b * b - 4 * a * c;
    if (discriminant < 0) {
        // Rounding can push a double root below zero: the vertex is still worth a look.
        const double vertex = -b / (2 * a);
        return std::abs(discriminant) <= 1e-12 * b * b ? std::vector<double>{vertex}
                                                       : std::vector<double>{};
    }
    const double q = -0.5 * (b + std::copysign(std::sqrt(discriminant), b));
    std::vector<double> roots{q / a};
    if (q != 0) {
        roots.push_back(c / q);
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

} // namespace

std::optional<DamageModel> ModelDamage(const SpellFormula& spell, const ParsedInputs& inputs,
                                       Field input) {
    bool missing = false;
    auto value = [&](Field field) {
        if (!inputs[field]) {
            missing = true;
            return Fraction::Constant(0);
        }
        return field == input ? Fraction{{0, 1, 0, 0}} : Fraction::Constant(*inputs[field]);
    };
    auto c = [](double constant) { return Fraction::Constant(constant); };
    auto statPart = [&](const Fraction& stat) {
        const Fraction quotient = stat / c(spell.divisor);
        return spell.bonus ? quotient + c(*spell.bonus) : quotient;
    };
    auto timesPowerOverResist = [&](const Fraction& running) {
        return value(PowerField(spell.element)) * running / value(Field::varResist);
    };

    Fraction damage;
    switch (spell.kind) {
    case FormulaKind::OneStat:
        damage = timesPowerOverResist(statPart(value(spell.stat)));
        if (spell.tailScale) {
            damage = damage * c(15) / c(20);
        }
        break;
    case FormulaKind::TwoStats:
        damage = timesPowerOverResist(statPart(value(Field::varInt)) +
                                      value(Field::varWis) / c(spell.divisor));
        break;
    case FormulaKind::FixedOverInput:
        damage = c(spell.fixedValue) / value(spell.overInput);
        break;
    case FormulaKind::StatOnly:
        damage = statPart(value(spell.stat));
        break;
    case FormulaKind::LevelScaled: {
        const Fraction stat = value(spell.stat);
        const Fraction level = value(Field::varLevel);
        damage = stat * timesPowerOverResist(statPart(stat)) / (level + level + c(20));
        break;
    }
    }
    if (missing || Degree(damage.d) < 0) {
        return std::nullopt;
    }
    return DamageModel{damage.n, damage.d};
}

std::vector<double> RootsIn(const Polynomial& p, double lo, double hi) {
    std::vector<double> roots;
    if (Degree(p) <= 2) {
        for (double root : LowRoots(p)) {
            if (root >= lo && root <= hi) {
                roots.push_back(root);
            }
        }
        return roots;
    }
    // Between the turning points the polynomial is monotonic: one bisection on each piece.
    std::vector<double> ends{lo};
    for (double turn : RootsIn(Derivative(p), lo, hi)) {
        ends.push_back(turn);
    }
    ends.push_back(hi);
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        double a = ends[i], b = ends[i + 1];
        const bool rising = ValueAt(p, a) < ValueAt(p, b);
        if ((ValueAt(p, a) > 0) == (ValueAt(p, b) > 0) && ValueAt(p, b) != 0) {
            continue;
        }
        for (int step = 0; step < 200; ++step) {
            const double mid = a + (b - a) / 2;
            if (mid == a || mid == b) {
                break;
            }
            ((ValueAt(p, mid) < 0) == rising ? a : b) = mid;
        }
        roots.push_back(b);
    }
    return roots;
}

std::vector<double> SignChanges(const DamageModel& a, const DamageModel& b, double lo, double hi) {
    const Polynomial difference =
        Minus(Times(a.numerator, b.denominator), Times(b.numerator, a.denominator));
    std::vector<double> points = RootsIn(difference, lo, hi);
    for (const DamageModel* model : {&a, &b}) {
        const std::vector<double> poles = RootsIn(model->denominator, lo, hi);
        points.insert(points.end(), poles.begin(), poles.end());
    }
    std::sort(points.begin(), points.end());
    return points;
}

} // namespace runetally
