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

/* What Drovik_camera_save fills and Drovik_camera_recreate / Drovik_camera_set_values read
   (216 bytes; 4 bytes of padding after the first field). */
typedef struct DROVIK_CAMERA_VALUES {
    int own_culling_depth;
    double culling_depth;
    double distance_from_eye;
    int width, height;
    double field_of_view; /* degrees */
    double location[3];
    double x_axis[3], y_axis[3], z_axis[3];
    double speed[3];
    double absolute_speed;
    double force[3];
    double friction, elasticity, max_speed;
} DROVIK_CAMERA_VALUES;

/* ---- Camera family: angles in degrees unless the name ends in _radians; a failed camera check
   returns 0, 0.0 or NULL unless noted (-1 for exports reporting 0 / -1). ---- */
DROVIK_API DROVIK_HANDLE Drovik_camera_get_first_camera(void);
DROVIK_API DROVIK_HANDLE Drovik_camera_get_default_camera(void); /* the same as the first camera */
DROVIK_API DROVIK_HANDLE Drovik_camera_get_next_camera(DROVIK_HANDLE camera);
DROVIK_API DROVIK_HANDLE Drovik_camera_get_using_name(const char* name);
DROVIK_API DROVIK_HANDLE Drovik_camera_get_current(void);
DROVIK_API int Drovik_camera_get_width(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_get_height(DROVIK_HANDLE camera); /* checks under the name Drovik_camera_get_width */
DROVIK_API DROVIK_HANDLE Drovik_camera_create(const char* name); /* 300x300, 90 degrees, at the origin looking along -x, name made unique; NULL without a world */
DROVIK_API int Drovik_camera_save(DROVIK_HANDLE camera, DROVIK_CAMERA_VALUES* values); /* fills the record; 0 / -1 */
DROVIK_API DROVIK_HANDLE Drovik_camera_recreate(const char* name, const DROVIK_CAMERA_VALUES* values); /* a new camera from a record, appended to the list; NULL for a NULL record */
DROVIK_API int Drovik_camera_set_values(DROVIK_HANDLE camera, const DROVIK_CAMERA_VALUES* values); /* applies a record; nonzero / 0 */
DROVIK_API int Drovik_camera_delete(DROVIK_HANDLE camera); /* also clears every link to it; 0 / -1 */
DROVIK_API void Drovik_camera_delete_all(void); /* frees every camera and every link to them */
DROVIK_API const char* Drovik_camera_get_name(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_name(DROVIK_HANDLE camera, const char* name); /* not made unique; NULL or empty refused */
DROVIK_API int Drovik_camera_set_save_flag(DROVIK_HANDLE camera, int flag); /* returns the flag */
DROVIK_API int Drovik_camera_get_save_flag(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_location(DROVIK_HANDLE camera, double x, double y, double z);
DROVIK_API int Drovik_camera_get_location(DROVIK_HANDLE camera, double* x, double* y, double* z); /* NULL out-pointers are skipped */
DROVIK_API int Drovik_camera_set_direction(DROVIK_HANDLE camera, double x, double y, double z);
DROVIK_API int Drovik_camera_get_direction(DROVIK_HANDLE camera, double* x, double* y, double* z); /* NULL out-pointers are skipped */
DROVIK_API int Drovik_camera_set_axis_system(DROVIK_HANDLE camera, const double x_axis[3], const double y_axis[3], const double z_axis[3]); /* -1 when the axes make no axis system */
DROVIK_API int Drovik_camera_get_axis_system(DROVIK_HANDLE camera, double x_axis[3], double y_axis[3], double z_axis[3]);
DROVIK_API int Drovik_camera_point_at(DROVIK_HANDLE camera, double x, double y, double z); /* checks under the name Drovik_camera_set_direction */
DROVIK_API int Drovik_camera_move(DROVIK_HANDLE camera, int space_flag, double dx, double dy, double dz); /* space 0 world, 2 camera; anything else refused with a box */
DROVIK_API double Drovik_camera_set_tilt(DROVIK_HANDLE camera, double tilt); /* degrees clamped to [-90, 90]; the tilt read back */
DROVIK_API double Drovik_camera_get_tilt(DROVIK_HANDLE camera); /* checks under the name Drovik_camera_set_tilt */
DROVIK_API double Drovik_camera_modify_tilt(DROVIK_HANDLE camera, double delta);
DROVIK_API double Drovik_camera_set_bank(DROVIK_HANDLE camera, double bank); /* modulo 360; the bank read back */
DROVIK_API double Drovik_camera_get_bank(DROVIK_HANDLE camera);
DROVIK_API double Drovik_camera_modify_bank(DROVIK_HANDLE camera, double delta);
DROVIK_API double Drovik_camera_set_head_angle(DROVIK_HANDLE camera, double angle);
DROVIK_API double Drovik_camera_get_head_angle(DROVIK_HANDLE camera); /* checks under the name Drovik_camera_set_head_angle */
DROVIK_API double Drovik_camera_modify_head_angle(DROVIK_HANDLE camera, double delta);
DROVIK_API int Drovik_camera_rotate_x(DROVIK_HANDLE camera, double degrees, int space_flag); /* space 2 the camera's axes, else the world's; 0 */
DROVIK_API int Drovik_camera_rotate_y(DROVIK_HANDLE camera, double degrees, int space_flag);
DROVIK_API int Drovik_camera_rotate_z(DROVIK_HANDLE camera, double degrees, int space_flag);
DROVIK_API int Drovik_camera_rotate_x_radians(DROVIK_HANDLE camera, double radians, int space_flag);
DROVIK_API int Drovik_camera_rotate_y_radians(DROVIK_HANDLE camera, double radians, int space_flag);
DROVIK_API int Drovik_camera_rotate_z_radians(DROVIK_HANDLE camera, double radians, int space_flag);
DROVIK_API int Drovik_camera_convert_point_to_world_space(DROVIK_HANDLE camera, const double in[3], double out[3]);
DROVIK_API int Drovik_camera_convert_point_to_camera_space(DROVIK_HANDLE camera, const double in[3], double out[3]);
DROVIK_API double Drovik_camera_set_zoom(DROVIK_HANDLE camera, double field_of_view); /* field of view in (0, 180); returns the argument */
DROVIK_API double Drovik_camera_get_zoom(DROVIK_HANDLE camera);
DROVIK_API double Drovik_camera_modify_zoom(DROVIK_HANDLE camera, double delta);
DROVIK_API double Drovik_camera_set_focus(DROVIK_HANDLE camera, double value); /* not working yet: a box, 0.0 */
DROVIK_API double Drovik_camera_modify_focus(DROVIK_HANDLE camera, double value); /* not working yet: a box, 0.0 */
DROVIK_API int Drovik_camera_set_distance_from_eye(DROVIK_HANDLE camera, double distance);
DROVIK_API double Drovik_camera_get_distance_from_eye(DROVIK_HANDLE camera); /* -1.0 on a failed check */
DROVIK_API int Drovik_camera_set_perspective_projection(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_parallel_projection(DROVIK_HANDLE camera, int width, int height); /* a side below 1 follows the pixel proportions */
DROVIK_API int Drovik_camera_get_parallel_projection_width(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_get_parallel_projection_height(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_is_perspective_projection(DROVIK_HANDLE camera);
DROVIK_API const char* Drovik_camera_get_track_name(DROVIK_HANDLE camera);
DROVIK_API DROVIK_HANDLE Drovik_camera_get_track_handle(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_track(DROVIK_HANDLE camera, DROVIK_HANDLE track_handle); /* NULL clears the track; 0 / -1 */
DROVIK_API int Drovik_camera_get_track_offset(DROVIK_HANDLE camera, double offset[3]);
DROVIK_API int Drovik_camera_set_track_offset(DROVIK_HANDLE camera, const double offset[3]);
DROVIK_API int Drovik_camera_get_next_point_on_track(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_next_point_on_track(DROVIK_HANDLE camera, int index); /* clamped to the points; -1 when out of range or without a track */
DROVIK_API int Drovik_camera_set_name_to_chase(DROVIK_HANDLE camera, const char* name);
DROVIK_API const char* Drovik_camera_get_name_to_chase(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_object_to_chase(DROVIK_HANDLE camera, DROVIK_HANDLE object_handle); /* viewer mode only; clears the other chase links */
DROVIK_API int Drovik_camera_set_camera_to_chase(DROVIK_HANDLE camera, DROVIK_HANDLE target_handle); /* viewer mode only; clears the other chase links */
DROVIK_API int Drovik_camera_set_group_to_chase(DROVIK_HANDLE camera, DROVIK_HANDLE group_handle); /* viewer mode only; a NULL group is refused */
DROVIK_API DROVIK_HANDLE Drovik_camera_get_chased_object(DROVIK_HANDLE camera); /* viewer mode only */
DROVIK_API DROVIK_HANDLE Drovik_camera_get_chased_camera(DROVIK_HANDLE camera); /* viewer mode only */
DROVIK_API DROVIK_HANDLE Drovik_camera_get_chased_group(DROVIK_HANDLE camera); /* viewer mode only */
DROVIK_API int Drovik_camera_get_chase_offset(DROVIK_HANDLE camera, double offset[3]);
DROVIK_API int Drovik_camera_set_chase_offset(DROVIK_HANDLE camera, const double offset[3]);
DROVIK_API double Drovik_camera_get_chase_softness(DROVIK_HANDLE camera);
DROVIK_API double Drovik_camera_set_chase_softness(DROVIK_HANDLE camera, double softness); /* clamped to [0, 1] */
DROVIK_API int Drovik_camera_get_chase_type(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_chase_distance(DROVIK_HANDLE camera, double distance);
DROVIK_API double Drovik_camera_get_chase_distance(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_get_speed(DROVIK_HANDLE camera, double speed[3]);
DROVIK_API int Drovik_camera_set_speed(DROVIK_HANDLE camera, const double speed[3]);
DROVIK_API double Drovik_camera_get_absolute_speed(DROVIK_HANDLE camera);
DROVIK_API double Drovik_camera_set_absolute_speed(DROVIK_HANDLE camera, double speed); /* keeps the velocity's direction ((1, 0, 0) when at rest) */
DROVIK_API int Drovik_camera_get_force(DROVIK_HANDLE camera, double force[3]);
DROVIK_API int Drovik_camera_set_force(DROVIK_HANDLE camera, const double force[3]);
DROVIK_API double Drovik_camera_get_max_speed(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_max_speed(DROVIK_HANDLE camera, double value);
DROVIK_API double Drovik_camera_get_friction(DROVIK_HANDLE camera);
DROVIK_API double Drovik_camera_set_friction(DROVIK_HANDLE camera, double value); /* at most 1 */
DROVIK_API double Drovik_camera_get_elasticity(DROVIK_HANDLE camera);
DROVIK_API int Drovik_camera_set_elasticity(DROVIK_HANDLE camera, double value);

/* ---- Engine family: the 3D card. ---- */
DROVIK_API int Drovik_engine_check_3d_hardware_support(void); /* always 1 */
DROVIK_API int Drovik_engine_use_3D_accelerator_card(int yes_no); /* 1: the card starts on the last rendering window (the default window before any), its result; 0: back to software, 0 */
DROVIK_API int Drovik_engine_is_3D_accelerator_card_used(void); /* 1 / 0 */
DROVIK_API int Drovik_engine_set_3D_accelerator_resolution(int width, int height); /* stores the full-screen size; a running card of another size restarts; 0 / -1 */
DROVIK_API void Drovik_engine_get_3D_accelerator_resolution(int* width, int* height); /* the card's frame size, 0 x 0 without a card */

#endif
