#ifndef IRWAV_SYNTH_IR_ENCODERS_H_
#define IRWAV_SYNTH_IR_ENCODERS_H_

#include "synth/ir_protocol.h"
#include "synth/timing_builder.h"

/// The frames that one short key press sends, for each protocol. Each
/// encoder takes fields already checked against its protocol's ranges, the
/// subdevice's default already applied, and sends its frames into `out`.
using IrEncoder = void (*)(const IrFields& fields, TimingBuilder* out);

/// How many times a protocol that repeats its whole frame while a key is
/// held sends that frame for a short press: the frame and one repeat.
constexpr int kShortPressFrames = 2;

/// Sony receivers act on a code seen several times in a row, and Sony
/// remotes send at least three frames however short the press.
constexpr int kSonyShortPressFrames = 3;

// NEC family: a frame of four bytes, then a ditto or the whole frame again.
void encodeNec1(const IrFields& fields, TimingBuilder* out);
void encodeNec2(const IrFields& fields, TimingBuilder* out);
void encodeNecx1(const IrFields& fields, TimingBuilder* out);
void encodeNecx2(const IrFields& fields, TimingBuilder* out);
void encodeNec1F16(const IrFields& fields, TimingBuilder* out);
void encodePioneer(const IrFields& fields, TimingBuilder* out);

// Pulse-width coding.
void encodeSony12(const IrFields& fields, TimingBuilder* out);

// Bi-phase coding.
void encodeRc5(const IrFields& fields, TimingBuilder* out);
void encodeRc6(const IrFields& fields, TimingBuilder* out);

// Kaseikyo family: six bytes after a 3.5 ms lead-in.
void encodePanasonic(const IrFields& fields, TimingBuilder* out);
void encodeKaseikyo(const IrFields& fields, TimingBuilder* out);
void encodeFujitsu(const IrFields& fields, TimingBuilder* out);

// Pulse-distance protocols of their own.
void encodeRca(const IrFields& fields, TimingBuilder* out);
void encodePanasonicOld(const IrFields& fields, TimingBuilder* out);
void encodeSharp(const IrFields& fields, TimingBuilder* out);
void encodeJvc(const IrFields& fields, TimingBuilder* out);
void encodeProton(const IrFields& fields, TimingBuilder* out);
void encodeEmerson(const IrFields& fields, TimingBuilder* out);
void encodeThomson(const IrFields& fields, TimingBuilder* out);
void encodeRecs80(const IrFields& fields, TimingBuilder* out);
void encodeDishNetwork(const IrFields& fields, TimingBuilder* out);
void encodeZenith(const IrFields& fields, TimingBuilder* out);

// A stored capture that follows no protocol.
void encodeKlossRaw(const IrFields& fields, TimingBuilder* out);

#endif  // IRWAV_SYNTH_IR_ENCODERS_H_
