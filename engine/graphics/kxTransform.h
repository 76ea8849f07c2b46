/// \file
/// Transform utilities: three- and four-component vectors (float[3]/float[4]),
/// point lists (n consecutive float[3], transformed in place), and the engine's
/// own random generator. Single-vector rotations take radians, point-list
/// rotations take degrees.
///
/// The generator is the only source of randomness inside the engine (the
/// process-wide srand/rand belong to the program). It is a 32-bit LCG;
/// kxRandom returns 0..32767.
#pragma once

#include "kxExport.h"
#include "kxTypes.h"

KX_API void kxSeedRandom(uint32_t seed);
KX_API int kxRandom();

KX_API float ToRadf(float degrees);
KX_API float ToDegf(float radians);

KX_API void InitVect(float* const v, float x, float y, float z);
KX_API void InitVect4(float* const v, float x, float y, float z, float w);
KX_API void CopyVect(float* const dst, float* const src);
KX_API void CopyVect4(float* const dst, float* const src);
/// Exchanges the three components of a and b.
KX_API void ChangeVect(float* const a, float* const b);
KX_API void ScaleVect(float* const v, float k);
KX_API void ScaleVect3f(float* const v, float kx, float ky, float kz);
KX_API void TranslateVect3f(float* const v, float dx, float dy, float dz);
/// src and dst must be different vectors.
KX_API void RotateVectX(float* const src, float* const dst, float radians);
KX_API void RotateVectY(float* const src, float* const dst, float radians);
KX_API void RotateVectZ(float* const src, float* const dst, float radians);
KX_API void RotateVect4X(float* const src, float* const dst, float radians);

KX_API void ScaleMatrix(float (*p)[3], float k, size_t n);
KX_API void ScaleMatrix3f(float (*p)[3], float kx, float ky, float kz, size_t n);
KX_API void TranslateMatrix3f(float (*p)[3], float dx, float dy, float dz, size_t n);
KX_API void MoveMatrix(float (*p)[3], float dx, float dy, float dz, size_t n);
KX_API void RotateMatrixX(float (*p)[3], float degrees, size_t n);
KX_API void RotateMatrixY(float (*p)[3], float degrees, size_t n);
KX_API void RotateMatrixZ(float (*p)[3], float degrees, size_t n);
/// Point i is turned about z by degrees[i].
KX_API void RotateMatrixZ(float (*p)[3], float* degrees, size_t n);
KX_API void CopyMatrix(float (*dst)[3], float (*src)[3], size_t n);

/// n single floats (a flat array) drawn from [min(a,b), max(a,b)).
KX_API void RandomMatrix(float* out, float a, float b, size_t n);
/// One number from [min(a,b), max(a,b)); a when a equals b.
KX_API float Randf(float a, float b);
/// Direction from (x1, y1) to (x2, y2) in degrees, in [0, 360). On the axes:
/// +x gives 0, +y 90, -x 180, -y 270; equal points give 0.
KX_API float GetAngle(float x1, float y1, float x2, float y2);
