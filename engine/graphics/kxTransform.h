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

/// Restarts the engine's generator from seed.
KX_API void kxSeedRandom(uint32_t seed);
/// The generator's next number, 0..32767.
KX_API int kxRandom();

/// Degrees to radians.
KX_API float ToRadf(float degrees);
/// Radians to degrees.
KX_API float ToDegf(float radians);

/// Sets the vector v to (x, y, z).
KX_API void InitVect(float* const v, float x, float y, float z);
/// Sets the four-component vector v to (x, y, z, w).
KX_API void InitVect4(float* const v, float x, float y, float z, float w);
/// Copies the three components of src into dst.
KX_API void CopyVect(float* const dst, float* const src);
/// Copies the four components of src into dst.
KX_API void CopyVect4(float* const dst, float* const src);
/// Exchanges the three components of a and b.
KX_API void ChangeVect(float* const a, float* const b);
/// Multiplies each component of v by k.
KX_API void ScaleVect(float* const v, float k);
/// Multiplies the components of v by kx, ky and kz.
KX_API void ScaleVect3f(float* const v, float kx, float ky, float kz);
/// Adds (dx, dy, dz) to v.
KX_API void TranslateVect3f(float* const v, float dx, float dy, float dz);
/// src and dst must be different vectors.
KX_API void RotateVectX(float* const src, float* const dst, float radians);
/// Rotates src about the y axis into dst; src and dst must differ.
KX_API void RotateVectY(float* const src, float* const dst, float radians);
/// Rotates src about the z axis into dst; src and dst must differ.
KX_API void RotateVectZ(float* const src, float* const dst, float radians);
/// Rotates the four-component src about the x axis into dst (w copied).
KX_API void RotateVect4X(float* const src, float* const dst, float radians);

/// Multiplies every coordinate of the n points by k.
KX_API void ScaleMatrix(float (*p)[3], float k, size_t n);
/// Multiplies the n points' x, y and z by kx, ky and kz.
KX_API void ScaleMatrix3f(float (*p)[3], float kx, float ky, float kz, size_t n);
/// Adds (dx, dy, dz) to each of the n points.
KX_API void TranslateMatrix3f(float (*p)[3], float dx, float dy, float dz, size_t n);
/// Adds (dx, dy, dz) to each of the n points (as TranslateMatrix3f).
KX_API void MoveMatrix(float (*p)[3], float dx, float dy, float dz, size_t n);
/// Rotates the n points about the x axis by degrees.
KX_API void RotateMatrixX(float (*p)[3], float degrees, size_t n);
/// Rotates the n points about the y axis by degrees.
KX_API void RotateMatrixY(float (*p)[3], float degrees, size_t n);
/// Rotates the n points about the z axis by degrees.
KX_API void RotateMatrixZ(float (*p)[3], float degrees, size_t n);
/// Point i is turned about z by degrees[i].
KX_API void RotateMatrixZ(float (*p)[3], float* degrees, size_t n);
/// Copies n points from src to dst.
KX_API void CopyMatrix(float (*dst)[3], float (*src)[3], size_t n);

/// n single floats (a flat array) drawn from [min(a,b), max(a,b)).
KX_API void RandomMatrix(float* out, float a, float b, size_t n);
/// One number from [min(a,b), max(a,b)); a when a equals b.
KX_API float Randf(float a, float b);
/// Direction from (x1, y1) to (x2, y2) in degrees, in [0, 360). On the axes:
/// +x gives 0, +y 90, -x 180, -y 270; equal points give 0.
KX_API float GetAngle(float x1, float y1, float x2, float y2);
