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

/* ---- Handle checks: 1 for a live handle of the kind; with a function name a fault is logged
   and shown in a box captioned with that name, with NULL the test is silent. ---- */
DROVIK_API int Drovik_camera_is_camera(DROVIK_HANDLE camera, const char* function_name); /* camera */
DROVIK_API int Drovik_object_is_object(DROVIK_HANDLE object, const char* function_name); /* dynamic object */
DROVIK_API int Drovik_group_is_group(DROVIK_HANDLE group, const char* function_name); /* group; NULL = world */
DROVIK_API int Drovik_bitmap_is_bitmap(DROVIK_HANDLE bitmap, const char* function_name); /* bitmap */
DROVIK_API int Drovik_track_is_track(DROVIK_HANDLE track, const char* function_name); /* track */
DROVIK_API int Drovik_animation_is_animation(DROVIK_HANDLE animation, const char* function_name); /* texture animation */
DROVIK_API int Drovik_background_is_background(DROVIK_HANDLE background, const char* function_name); /* background */
DROVIK_API int Drovik_polygon_is_polygon(DROVIK_HANDLE polygon, const char* function_name); /* polygon */
DROVIK_API int Drovik_point_is_point(DROVIK_HANDLE point, const char* function_name); /* point */
DROVIK_API int Drovik_light_is_light(DROVIK_HANDLE light, const char* function_name); /* light */
DROVIK_API int Drovik_3D_animation_is_3D_animation(DROVIK_HANDLE animation, const char* function_name); /* 3D animation */
DROVIK_API int Drovik_3D_sequence_is_3D_sequence(DROVIK_HANDLE sequence, const char* function_name); /* 3D sequence */

/* ---- Engine family: worlds, saving and close. ---- */
DROVIK_API int Drovik_engine_load_world(const char* world_file, const char* world_folder, const char* bitmaps_folder, int flags); /* closes the old world, loads by extension; 0 / -1 */
DROVIK_API int Drovik_engine_is_engine_empty(void); /* 1 while no world is loaded */
DROVIK_API int Drovik_engine_is_editor_mode(void); /* the editor-mode flag, 0 without a world */
DROVIK_API int Drovik_engine_save(const char* file_name, DROVIK_HANDLE group, int save_flags); /* group NULL = the whole world; 0 / -1 */
DROVIK_API const char** Drovik_engine_get_supported_formats_extensions_array(int* count); /* six extensions, count := 6 */
DROVIK_API const char** Drovik_engine_get_supported_formats_names_array(int* count); /* six format names, row for row */
DROVIK_API int Drovik_engine_close(void); /* about a second of progress, then the library shuts down */

#endif
