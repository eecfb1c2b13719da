#!/usr/bin/env python3
"""Draws the start of a WAV file's first burst as an SVG picture.

Usage: waveform_svg.py FILE.wav CARRIER_HZ > waveform.svg

The file must be 16-bit stereo PCM whose first frame starts a burst, as
irwav writes them. The picture shows, over the first 300 us:
  - each channel's samples as dots, as they are in the file;
  - the voltage a sound card makes of them (the band-limited curve through
    the samples, by sinc interpolation): a sine at half the carrier, left
    and right in antiphase;
  - which LED of the emitter lights when: one on each half of the sine, so
    the light flashes once per period of the carrier, which is marked.
The half-periods of the reconstructed curve are checked against the given
carrier; a file that does not hold such a burst is refused.
"""

import math
import struct
import sys

WIDTH, HEIGHT = 780, 430
LEFT, RIGHT = 70, 740  # plot area, x
WAVE_TOP, WAVE_BOTTOM = 60, 260
LED_TOP, LED_BOTTOM = 310, 350
SPAN_US = 300.0
FULL_SCALE = 32768.0
# Where an LED starts to conduct: a sketch, as a share of the full swing.
LED_THRESHOLD = 0.2


def read_wav(path):
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit("%s: not a WAV file" % path)
    channels, rate = struct.unpack_from("<HI", data, 22)
    bits = struct.unpack_from("<H", data, 34)[0]
    if channels != 2 or bits != 16:
        sys.exit("%s: not 16-bit stereo" % path)
    frames = (len(data) - 44) // 4
    samples = struct.unpack_from("<%dh" % (2 * frames), data, 44)
    return rate, samples[0::2], samples[1::2]


def reconstruct(samples, rate, t_us):
    """The band-limited signal through the samples at time t_us."""
    x = t_us * rate / 1e6
    total = 0.0
    for n, s in enumerate(samples):
        d = x - n
        total += s * (1.0 if d == 0 else math.sin(math.pi * d) / (math.pi * d))
    return total


def px(t_us):
    return LEFT + (RIGHT - LEFT) * t_us / SPAN_US


def py(value):
    # Room above and below full scale for the curve's overshoot at the
    # burst's sudden start.
    mid = (WAVE_TOP + WAVE_BOTTOM) / 2
    return mid - (WAVE_BOTTOM - WAVE_TOP) / 2 * value / (1.15 * FULL_SCALE)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    path, carrier = sys.argv[1], float(sys.argv[2])
    rate, left, right = read_wav(path)
    # Enough of the stream for the curve over the span to settle.
    window = int(rate * SPAN_US / 1e6) + 200
    left, right = left[:window], right[:window]
    if not any(left[:4]):
        sys.exit("%s: no burst at the start" % path)

    step = 0.5
    times = [i * step for i in range(int(SPAN_US / step) + 1)]
    curve_l = [reconstruct(left, rate, t) for t in times]
    curve_r = [reconstruct(right, rate, t) for t in times]

    # The LEDs: the voltage between the two contacts is left minus right.
    lit = []  # (start, end, led)
    state, start = 0, 0.0
    for t, l, r in zip(times, curve_l, curve_r):
        d = (l - r) / (2 * FULL_SCALE)
        now = 1 if d > LED_THRESHOLD else 2 if d < -LED_THRESHOLD else 0
        if now != state:
            if state:
                lit.append((start, t, state))
            state, start = now, t
    if state:
        lit.append((start, SPAN_US, state))
    # Flashes start one carrier period apart, alternating LEDs.
    starts = [s for s, e, _ in lit if s > 0 and e < SPAN_US]
    periods = [b - a for a, b in zip(starts, starts[1:])]
    period_us = 1e6 / carrier
    if len(periods) < 4 or any(abs(p - period_us) > 2 * step for p in periods[1:]):
        sys.exit("%s: the flashes are not %.1f us apart: %s" % (path, period_us, periods))

    out = []
    w = out.append
    w('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
      'font-family="sans-serif" font-size="13">' % (WIDTH, HEIGHT, WIDTH, HEIGHT))
    w('<rect width="100%" height="100%" fill="white"/>')
    w('<text x="%d" y="24" font-size="15" font-weight="bold">The first %d \u00b5s of "%s": '
      'a %.0f Hz carrier as a %.0f Hz sine</text>'
      % (LEFT, SPAN_US, path.split("/")[-1].replace(" ", "\u00a0"), carrier, carrier / 2))
    # Axes and grid.
    for t in range(0, int(SPAN_US) + 1, 50):
        w('<line x1="%.1f" y1="%d" x2="%.1f" y2="%d" stroke="#ddd"/>'
          % (px(t), WAVE_TOP, px(t), LED_BOTTOM))
        w('<text x="%.1f" y="%d" text-anchor="middle">%d \u00b5s</text>'
          % (px(t), LED_BOTTOM + 18, t))
    for v, label in ((FULL_SCALE, "+32767"), (0, "0"), (-FULL_SCALE, "\u221232768")):
        w('<line x1="%d" y1="%.1f" x2="%d" y2="%.1f" stroke="%s"/>'
          % (LEFT, py(v), RIGHT, py(v), "#999" if v == 0 else "#ddd"))
        w('<text x="%d" y="%.1f" text-anchor="end">%s</text>' % (LEFT - 6, py(v) + 4, label))
    # Curves, then the samples on top.
    for curve, colour in ((curve_l, "#1f5fbf"), (curve_r, "#d2691e")):
        points = " ".join("%.1f,%.1f" % (px(t), py(v)) for t, v in zip(times, curve))
        w('<polyline points="%s" fill="none" stroke="%s" stroke-width="1.6"/>' % (points, colour))
    for samples, colour in ((left, "#1f5fbf"), (right, "#d2691e")):
        n = 0
        while n * 1e6 / rate <= SPAN_US:
            w('<circle cx="%.1f" cy="%.1f" r="3.2" fill="%s"/>'
              % (px(n * 1e6 / rate), py(samples[n]), colour))
            n += 1
    # The period of the sine, over its first whole period.
    a, b = starts[1], starts[3]
    y = WAVE_TOP - 10
    w('<path d="M%.1f %d v6 M%.1f %d v6 M%.1f %d H%.1f" stroke="black" fill="none"/>'
      % (px(a), y, px(b), y, px(a), y + 3, px(b)))
    w('<text x="%.1f" y="%d" text-anchor="middle">one period of the sine: %.0f \u00b5s</text>'
      % ((px(a) + px(b)) / 2, y - 4, 2 * period_us))
    # The LEDs' flashes, and one period of the carrier.
    w('<text x="%d" y="%d" text-anchor="end">LEDs</text>' % (LEFT - 6, (LED_TOP + LED_BOTTOM) // 2 + 4))
    for s, e, led in lit:
        colour = "#7a1fa2" if led == 1 else "#c2185b"
        w('<rect x="%.1f" y="%d" width="%.1f" height="%d" fill="%s" opacity="0.75"/>'
          % (px(s), LED_TOP, px(e) - px(s), LED_BOTTOM - LED_TOP, colour))
        w('<text x="%.1f" y="%d" text-anchor="middle" fill="white" font-size="11">%d</text>'
          % ((px(s) + px(e)) / 2, (LED_TOP + LED_BOTTOM) // 2 + 4, led))
    a, b = starts[2], starts[3]
    y = LED_TOP - 8
    w('<path d="M%.1f %d v6 M%.1f %d v6 M%.1f %d H%.1f" stroke="black" fill="none"/>'
      % (px(a), y, px(b), y, px(a), y + 3, px(b)))
    w('<text x="%.1f" y="%d" text-anchor="middle">one period of the carrier: %.0f \u00b5s '
      '(%.0f kHz): LED 1 and LED 2 light in turn</text>'
      % ((px(a) + px(b)) / 2 + 120, y - 4, period_us, carrier / 1000))
    # Legend.
    legend = ((LEFT, "#1f5fbf", "left channel"), (LEFT + 150, "#d2691e", "right channel"))
    for x, colour, label in legend:
        w('<circle cx="%d" cy="%d" r="4" fill="%s"/>' % (x + 4, HEIGHT - 34, colour))
        w('<text x="%d" y="%d">%s</text>' % (x + 14, HEIGHT - 30, label))
    w('<text x="%d" y="%d">dots: the samples in the file; lines: the voltage the sound card '
      'makes of them</text>' % (LEFT, HEIGHT - 10))
    w("</svg>")
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


main()
