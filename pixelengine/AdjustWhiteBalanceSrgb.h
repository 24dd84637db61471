#pragma once
// sRGB transfer tables shared by white balance and the tone engine, and the
// in-place sRGB encode/decode filters on B,G,R byte pixels.
#include <cstdint>

// sRGB byte -> linear light 0..4095 (256 entries).
void AdjustBuildLinearLut(uint16_t table[256]);
// Linear light 0..4095 -> sRGB byte (4096 entries).
void AdjustBuildEncodeLut(uint8_t table[4096]);

// Every byte read as linear light is replaced by its sRGB encoding. 1; -2 for
// null pixels or a stride shorter than a row.
int AdjustSrgbEncodeApply(uint8_t* pixels, int width, int height, int stride);
// The reverse: every byte read as sRGB becomes linear light (0..255).
int AdjustSrgbDecodeApply(uint8_t* pixels, int width, int height, int stride);

// Transfer functions on 0..1.
double AdjustSrgbLinearise(double c);
double AdjustSrgbEncode(double x);
