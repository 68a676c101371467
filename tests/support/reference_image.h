// reference_image.h - comparing frames with reviewed reference pictures kept in the repository.
#pragma once

#include <cstdint>
#include <string>

// Compares a 240 x 160 RGB565 frame with the PNG at `expectedPath`. On a
// difference the actual picture is written to <build>/video-actual/NAME.png
// (NAME = the reference's file name) and the test fails saying where.
// With TAMBORIL_UPDATE_REFERENCES=1 the reference is (re)written instead.
void ExpectMatchesReferenceImage(const std::string& expectedPath, const uint16_t* frame);
