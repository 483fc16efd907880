/* drovik.h: the Drovik engine's C interface. Every export is named Drovik_<family>_<verb>. */
#ifndef DROVIK_H
#define DROVIK_H

#ifdef __cplusplus
#define DROVIK_EXTERN_C extern "C"
#else
#define DROVIK_EXTERN_C
#endif

#define DROVIK_API DROVIK_EXTERN_C __attribute__((visibility("default")))

/* Entity kinds: the first 32-bit word of every record a handle names. */
#define DROVIK_KIND_CAMERA 1001
#define DROVIK_KIND_OBJECT 1002
#define DROVIK_KIND_GROUP 1003
#define DROVIK_KIND_BITMAP 1004
#define DROVIK_KIND_TRACK 1005
#define DROVIK_KIND_ANIMATION 1006
#define DROVIK_KIND_BACKGROUND 1007
#define DROVIK_KIND_POLYGON 1008
#define DROVIK_KIND_POINT 1009
#define DROVIK_KIND_LIGHT 1010
#define DROVIK_KIND_ANIMATION3D 1011
#define DROVIK_KIND_FRAME3D 1012
#define DROVIK_KIND_SEQUENCE3D 1013

/* Handles are the addresses of engine records. */
typedef void* DROVIK_HANDLE;

#endif
