#include "sounds.h"

#include "noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace makeart {

namespace {

constexpr double twoPi = 2 * std::numbers::pi;

void normalise(std::vector<double>& s, double peak) {
    double m = 0;
    for (double v : s)
        m = std::max(m, std::abs(v));
    if (m > 0)
        for (double& v : s)
            v *= peak / m;
}

// Short fades at both ends so that no sound starts or stops with a step.
void fadeEnds(std::vector<double>& s, int in, int out) {
    const int n = int(s.size());
    for (int i = 0; i < std::min(in, n); ++i)
        s[i] *= double(i) / in;
    for (int i = 0; i < std::min(out, n); ++i)
        s[n - 1 - i] *= double(i) / out;
}

// A struck wooden bar: its modes lie at the inharmonic ratios of a free bar and die away the
// faster the higher they are.
void addWoodenStrike(std::vector<double>& s, int rate, int start, double frequency, double loudness,
                     double decay) {
    const double ratios[] = {1.0, 2.76, 5.40, 8.93};
    const double levels[] = {1.0, 0.45, 0.22, 0.10};
    for (int k = 0; k < 4; ++k) {
        const double f = frequency * ratios[k];
        if (f > rate * 0.45)
            continue;
        const double tau = decay / (1.0 + 1.6 * k);
        for (std::size_t i = std::size_t(std::max(0, start)); i < s.size(); ++i) {
            const double t = double(i - start) / rate;
            if (t > tau * 9)
                break;
            s[i] += loudness * levels[k] * std::exp(-t / tau) * std::sin(twoPi * f * t);
        }
    }
}

} // namespace

std::vector<double> menuClick() {
    const int n = effectRate * 6 / 1000;
    std::vector<double> s(n);
    Random random(218);
    // Noise through a resonance near 3 kHz, dying within a couple of milliseconds.
    const double f = 3100, r = 0.93;
    const double c = 2 * r * std::cos(twoPi * f / effectRate);
    double y1 = 0, y2 = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / effectRate;
        const double x = (random.uniform() * 2 - 1) * std::exp(-t / 0.0007);
        const double y = x + c * y1 - r * r * y2;
        y2 = y1;
        y1 = y;
        s[i] = y;
    }
    normalise(s, 0.7);
    fadeEnds(s, 4, 20);
    return s;
}

std::vector<double> elementsPop() {
    const int n = effectRate * 70 / 1000;
    std::vector<double> s(n);
    Random random(259);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / effectRate;
        // A quick downward pitch sweep gives the "pop"; a breath of noise gives the attack.
        const double f = 260 + 900 * std::exp(-t / 0.008);
        phase += twoPi * f / effectRate;
        s[i] = std::sin(phase) * std::exp(-t / 0.014) +
               0.35 * (random.uniform() * 2 - 1) * std::exp(-t / 0.0015);
    }
    normalise(s, 0.75);
    fadeEnds(s, 6, 200);
    return s;
}

std::vector<double> menuOpen() {
    const int n = effectRate / 2;
    std::vector<double> s(n, 0.0);
    // Two soft knocks on a hollow wooden box, the second a little lower and quieter.
    addWoodenStrike(s, effectRate, 0, 520, 1.0, 0.13);
    addWoodenStrike(s, effectRate, effectRate * 9 / 100, 390, 0.65, 0.16);
    // Soften the attack with a one-pole low-pass.
    double y = 0;
    for (double& v : s) {
        y += 0.35 * (v - y);
        v = y;
    }
    normalise(s, 0.55);
    fadeEnds(s, 30, effectRate / 10);
    return s;
}

std::vector<double> congratulations() {
    const double seconds = 2.6;
    std::vector<double> s(std::size_t(musicRate * seconds), 0.0);
    auto note = [&](double start, double length, int midi, double loudness) {
        const double f = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
        const double harmonics[] = {1.0, 0.5, 0.3, 0.16, 0.08};
        const std::size_t first = std::size_t(start * musicRate);
        const std::size_t last = std::min(s.size(), std::size_t((start + length + 0.35) * musicRate));
        for (std::size_t i = first; i < last; ++i) {
            const double t = double(i - first) / musicRate;
            // Envelope: quick attack, light decay to a sustain, release after the note's length.
            double env = t < 0.012 ? t / 0.012 : 0.65 + 0.35 * std::exp(-(t - 0.012) / 0.08);
            if (t > length)
                env *= std::exp(-(t - length) / 0.07);
            const double vibrato = 1.0 + 0.003 * std::sin(twoPi * 5.5 * t) * std::min(1.0, t / 0.3);
            double v = 0;
            for (int h = 0; h < 5; ++h)
                v += harmonics[h] * std::sin(twoPi * f * (h + 1) * vibrato * t) * std::exp(-t * h * 0.9);
            s[i] += loudness * env * v;
        }
    };
    // A rising C major fanfare: G4 C5 E5 G5, a skip back to E5, then C6 over a full chord.
    const struct {
        double start, length;
        int midi;
    } tune[] = {{0.00, 0.13, 67}, {0.15, 0.13, 72}, {0.30, 0.13, 76},
                {0.45, 0.26, 79}, {0.75, 0.12, 76}, {0.90, 1.10, 84}};
    for (const auto& t : tune)
        note(t.start, t.length, t.midi, 1.0);
    for (int midi : {60, 64, 67, 72})
        note(0.90, 1.10, midi, 0.42);
    for (double start : {0.0, 0.45})
        note(start, 0.35, 48, 0.5); // bass
    normalise(s, 0.85);
    fadeEnds(s, 40, musicRate / 5);
    return s;
}

} // namespace makeart
