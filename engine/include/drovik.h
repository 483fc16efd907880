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

/* ---- Object family: dynamic objects. Angles in degrees unless the name ends in _radians; space
   flags 0 world, 1 the object's own axes, 2 the current camera's axes. A failed object check returns
   0 or NULL, -1 for exports reporting 0 / -1 and as noted for doubles. ---- */
DROVIK_API DROVIK_HANDLE Drovik_object_get_first_object(void);
DROVIK_API DROVIK_HANDLE Drovik_object_get_next_object(DROVIK_HANDLE object);
DROVIK_API DROVIK_HANDLE Drovik_object_get_object_using_name(const char* name); /* the first of that name */
DROVIK_API const char* Drovik_object_get_name(DROVIK_HANDLE object);
DROVIK_API const char* Drovik_object_get_type_name(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_set_name(DROVIK_HANDLE object, const char* name); /* NULL or empty refused */
DROVIK_API int Drovik_object_set_type_name(DROVIK_HANDLE object, const char* type_name);
DROVIK_API int Drovik_object_get_object_type_number(DROVIK_HANDLE object); /* -1 on a failed check */
DROVIK_API int Drovik_object_get_control_type_number(DROVIK_HANDLE object); /* 1 player, 2 computer; -1 on a failed check */
DROVIK_API int Drovik_object_set_object_type_number(DROVIK_HANDLE object, int number); /* returns the number */
DROVIK_API int Drovik_object_set_control_type_number(DROVIK_HANDLE object, int number); /* returns the number */
DROVIK_API DROVIK_HANDLE Drovik_object_get_group_handle(DROVIK_HANDLE object);
DROVIK_API DROVIK_HANDLE Drovik_object_create(const char* name); /* viewer mode only; an object with an empty module */
DROVIK_API DROVIK_HANDLE Drovik_object_create_from_file(const char* file_name); /* viewer mode only; the file's polygons */
DROVIK_API DROVIK_HANDLE Drovik_object_duplicate(DROVIK_HANDLE object, int duplicate_module); /* 0: the copy shares the polygons */
DROVIK_API int Drovik_object_delete(DROVIK_HANDLE object); /* with its sons and module (a sharing copy: the object only) */
DROVIK_API int Drovik_object_disable(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_enable(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_is_enabled(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_set_location(DROVIK_HANDLE object, double x, double y, double z);
DROVIK_API int Drovik_object_get_location(DROVIK_HANDLE object, double* x, double* y, double* z); /* NULL out-pointers are skipped */
DROVIK_API int Drovik_object_move(DROVIK_HANDLE object, int space_flag, double dx, double dy, double dz);
DROVIK_API int Drovik_object_set_direction(DROVIK_HANDLE object, double x, double y, double z);
DROVIK_API int Drovik_object_get_direction(DROVIK_HANDLE object, double* x, double* y, double* z);
DROVIK_API int Drovik_object_set_axis_system(DROVIK_HANDLE object, const double x_axis[3], const double y_axis[3], const double z_axis[3]); /* -1 when no axis system */
DROVIK_API int Drovik_object_get_axis_system(DROVIK_HANDLE object, double x_axis[3], double y_axis[3], double z_axis[3]);
DROVIK_API int Drovik_object_get_x_axis(DROVIK_HANDLE object, double axis[3]);
DROVIK_API int Drovik_object_get_y_axis(DROVIK_HANDLE object, double axis[3]);
DROVIK_API int Drovik_object_get_z_axis(DROVIK_HANDLE object, double axis[3]);
DROVIK_API int Drovik_object_rotate_x(DROVIK_HANDLE object, double degrees, int space_flag);
DROVIK_API int Drovik_object_rotate_y(DROVIK_HANDLE object, double degrees, int space_flag);
DROVIK_API int Drovik_object_rotate_z(DROVIK_HANDLE object, double degrees, int space_flag);
DROVIK_API int Drovik_object_rotate_x_radians(DROVIK_HANDLE object, double radians, int space_flag);
DROVIK_API int Drovik_object_rotate_y_radians(DROVIK_HANDLE object, double radians, int space_flag);
DROVIK_API int Drovik_object_rotate_z_radians(DROVIK_HANDLE object, double radians, int space_flag);
DROVIK_API double Drovik_object_get_cos_pitch(DROVIK_HANDLE object); /* -9999.0 on a failed check */
DROVIK_API double Drovik_object_get_cos_bank(DROVIK_HANDLE object); /* -9999.0 on a failed check */
DROVIK_API double Drovik_object_get_cos_head(DROVIK_HANDLE object); /* -9999.0 on a failed check */
DROVIK_API int Drovik_object_get_total_move_mat(DROVIK_HANDLE object, double matrix[4][4]);
DROVIK_API int Drovik_object_convert_point_to_world_space(DROVIK_HANDLE object, const double in[3], double out[3]);
DROVIK_API int Drovik_object_convert_point_to_object_space(DROVIK_HANDLE object, const double in[3], double out[3]);
DROVIK_API int Drovik_object_set_rotation_center(DROVIK_HANDLE object, const double center[3]); /* world space */
DROVIK_API int Drovik_object_get_rotation_center(DROVIK_HANDLE object, double center[3]); /* world space */
DROVIK_API int Drovik_object_set_scale(DROVIK_HANDLE object, const double scale[3]); /* a zero component is refused */
DROVIK_API int Drovik_object_get_scale(DROVIK_HANDLE object, double scale[3]);
DROVIK_API int Drovik_object_get_bounding_box(DROVIK_HANDLE object, double box[2][3]); /* minimum corner, then maximum */
DROVIK_API int Drovik_object_is_movement_possible(DROVIK_HANDLE object, const double start[3], const double end[3], DROVIK_HANDLE* polygon_hit, double point_hit[3], DROVIK_HANDLE* object_hit); /* 1 free; 0 blocked, the outs tell by what */
DROVIK_API int Drovik_object_set_father_object(DROVIK_HANDLE object, DROVIK_HANDLE father); /* -1 for a cycle */
DROVIK_API DROVIK_HANDLE Drovik_object_get_father_object(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_is_objectA_included_in_objectB(DROVIK_HANDLE object_a, DROVIK_HANDLE object_b); /* B NULL: 1; -1 for a bad handle */
DROVIK_API DROVIK_HANDLE Drovik_object_get_first_son(DROVIK_HANDLE object); /* at any depth */
DROVIK_API DROVIK_HANDLE Drovik_object_get_next_son(DROVIK_HANDLE object, DROVIK_HANDLE son);
DROVIK_API DROVIK_HANDLE Drovik_object_get_first_direct_son(DROVIK_HANDLE object);
DROVIK_API DROVIK_HANDLE Drovik_object_get_next_direct_son(DROVIK_HANDLE object, DROVIK_HANDLE son);
DROVIK_API int Drovik_object_move_including_sons(DROVIK_HANDLE object, int space_flag, double dx, double dy, double dz);
DROVIK_API int Drovik_object_get_center_of_tree(DROVIK_HANDLE object, double center[3]);
DROVIK_API int Drovik_object_set_location_of_tree(DROVIK_HANDLE object, const double target[3], int reference); /* 1: the object reaches it, else the tree's centre */
DROVIK_API int Drovik_object_rotate_including_sons(DROVIK_HANDLE object, double degrees, int axis, int space_flag, int center_kind, const double point[3]); /* axis 1 x, 2 y, else z; centre 1 the object, 3 the point, else the tree's centre */
DROVIK_API const char* Drovik_object_get_track_name(DROVIK_HANDLE object);
DROVIK_API DROVIK_HANDLE Drovik_object_get_track_handle(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_set_track(DROVIK_HANDLE object, DROVIK_HANDLE track_handle); /* NULL clears it */
DROVIK_API int Drovik_object_get_track_offset(DROVIK_HANDLE object, double offset[3]);
DROVIK_API int Drovik_object_set_track_offset(DROVIK_HANDLE object, const double offset[3]);
DROVIK_API int Drovik_object_get_next_point_on_track(DROVIK_HANDLE object); /* -1 on a failed check */
DROVIK_API int Drovik_object_set_next_point_on_track(DROVIK_HANDLE object, int index); /* clamped; -1 when out of range or without a track */
DROVIK_API int Drovik_object_set_object_to_chase(DROVIK_HANDLE object, DROVIK_HANDLE target);
DROVIK_API int Drovik_object_set_camera_to_chase(DROVIK_HANDLE object, DROVIK_HANDLE target);
DROVIK_API int Drovik_object_set_group_to_chase(DROVIK_HANDLE object, DROVIK_HANDLE target); /* a NULL group is refused */
DROVIK_API DROVIK_HANDLE Drovik_object_get_chased_object(DROVIK_HANDLE object);
DROVIK_API DROVIK_HANDLE Drovik_object_get_chased_camera(DROVIK_HANDLE object);
DROVIK_API DROVIK_HANDLE Drovik_object_get_chased_group(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_get_chase_offset(DROVIK_HANDLE object, double offset[3]);
DROVIK_API int Drovik_object_set_chase_offset(DROVIK_HANDLE object, const double offset[3]);
DROVIK_API double Drovik_object_get_chase_softness(DROVIK_HANDLE object); /* -1.0 on a failed check */
DROVIK_API double Drovik_object_set_chase_softness(DROVIK_HANDLE object, double softness); /* clamped to [0, 1] */
DROVIK_API int Drovik_object_get_chase_type(DROVIK_HANDLE object); /* -1 on a failed check */
DROVIK_API int Drovik_object_set_chase_type(DROVIK_HANDLE object, int type);
DROVIK_API int Drovik_object_set_chase_distance(DROVIK_HANDLE object, double distance);
DROVIK_API double Drovik_object_get_chase_distance(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_set_falling_from_track(DROVIK_HANDLE object, double fall_height, int track_mode); /* returns the mode */
DROVIK_API int Drovik_object_unset_falling_from_track(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_get_falling_from_track_params(DROVIK_HANDLE object, int* falling, double* fall_height, int* track_mode);
DROVIK_API int Drovik_object_get_location_on_track_before_falling(DROVIK_HANDLE object, double location[3]);
DROVIK_API int Drovik_object_advance(DROVIK_HANDLE object); /* viewer mode only */
DROVIK_API int Drovik_object_advance_all(void); /* viewer mode only */
DROVIK_API int Drovik_object_advance_automatically(DROVIK_HANDLE object, int flag); /* 1: moved by every frame */
DROVIK_API int Drovik_object_set_speed_units(int units); /* 1 per second, else per step; 1 or 0 */
DROVIK_API int Drovik_object_get_speed_units(void); /* 1 or 2 */
DROVIK_API int Drovik_object_get_speed(DROVIK_HANDLE object, double speed[3]);
DROVIK_API int Drovik_object_set_speed(DROVIK_HANDLE object, const double speed[3]);
DROVIK_API double Drovik_object_get_absolute_speed(DROVIK_HANDLE object); /* -1.0 on a failed check */
DROVIK_API double Drovik_object_set_absolute_speed(DROVIK_HANDLE object, double speed);
DROVIK_API int Drovik_object_get_force(DROVIK_HANDLE object, double force[3]);
DROVIK_API int Drovik_object_set_force(DROVIK_HANDLE object, const double force[3]);
DROVIK_API double Drovik_object_get_max_speed(DROVIK_HANDLE object); /* -1.0 on a failed check */
DROVIK_API double Drovik_object_get_friction(DROVIK_HANDLE object); /* -1.0 on a failed check */
DROVIK_API double Drovik_object_get_elasticity(DROVIK_HANDLE object); /* -1.0 on a failed check */
DROVIK_API double Drovik_object_set_max_speed(DROVIK_HANDLE object, double value);
DROVIK_API double Drovik_object_set_friction(DROVIK_HANDLE object, double value); /* at most 1 */
DROVIK_API double Drovik_object_set_elasticity(DROVIK_HANDLE object, double value);
DROVIK_API int Drovik_object_set_physics_rotation(DROVIK_HANDLE object, int rotation_space, double x_degrees, double y_degrees, double z_degrees);
DROVIK_API int Drovik_object_get_physics_rotation(DROVIK_HANDLE object, double degrees[3]); /* returns the rotation space */
DROVIK_API int Drovik_object_reset_distance_counter(DROVIK_HANDLE object);
DROVIK_API double Drovik_object_get_distance_counter(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_make_collisional(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_make_non_collisional(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_is_collisional(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_enable_collision_test_for_chase_physics(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_cancel_collision_test_for_chase_physics(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_is_collision_test_for_chase_physics(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_set_event(DROVIK_HANDLE object, unsigned int milliseconds, int event_code); /* 1 delete, 2 disable; 0 ms cancels */
DROVIK_API int Drovik_object_set_event_on_animation_frame(DROVIK_HANDLE object, DROVIK_HANDLE polygon, int frame, int event_code); /* when the polygon's animation reaches the frame */
DROVIK_API DROVIK_HANDLE Drovik_object_get_polygon(DROVIK_HANDLE object, const char* name); /* NULL name: the first */
DROVIK_API int Drovik_object_is_polygon_part_of(DROVIK_HANDLE object, DROVIK_HANDLE polygon);
DROVIK_API int Drovik_object_get_number_of_polygons(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_get_all_polygons(DROVIK_HANDLE object, DROVIK_HANDLE* polygons); /* the array holds the count; returns the count */
DROVIK_API int Drovik_object_add_polygon(DROVIK_HANDLE object, DROVIK_HANDLE polygon);
DROVIK_API int Drovik_object_set_bitmap(DROVIK_HANDLE object, DROVIK_HANDLE bitmap);
DROVIK_API int Drovik_object_set_light(DROVIK_HANDLE object, const unsigned char rgb[3]);
DROVIK_API int Drovik_object_remove_light(DROVIK_HANDLE object);
DROVIK_API DROVIK_HANDLE Drovik_object_get_animation(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_replace_animation(DROVIK_HANDLE object, DROVIK_HANDLE old_animation, DROVIK_HANDLE new_animation);
DROVIK_API int Drovik_object_replace_animation_using_names(DROVIK_HANDLE object, const char* old_name, const char* new_name);

/* ---- Engine family: adding worlds, settings, display, window pixels and world points, the log
   window. Guarded exports called without a world show a box and return -1, 0 or NULL. ---- */
#ifndef DROVIK_WINDOW_TYPES
#define DROVIK_WINDOW_TYPES
typedef struct plat_window* DROVIK_WINDOW;   /* a window the engine draws into or owns */
typedef struct plat_surface* DROVIK_SURFACE; /* a 16-bit picture */
#endif
DROVIK_API DROVIK_HANDLE Drovik_engine_add_world(const char* world_file, const char* world_folder, const char* bitmaps_folder, const double position[3]); /* editor mode; the new group, NULL on failure */
DROVIK_API int Drovik_engine_add_polygon(DROVIK_HANDLE polygon); /* editor mode; onto the MAIN module */
DROVIK_API int Drovik_engine_reduce_polygons_count(double tolerance); /* editor mode; joins pairs of polygons, returns the joins */
DROVIK_API int Drovik_engine_get_number_of_loaded_bitmaps(void);
DROVIK_API int Drovik_engine_unload_unused_bitmaps(void); /* the number unloaded */
DROVIK_API int Drovik_engine_unload_all_bitmaps(void);
DROVIK_API int Drovik_engine_set_default_brightness(void);
DROVIK_API int Drovik_engine_increase_brightness(void); /* up to 16 steps brighter */
DROVIK_API int Drovik_engine_decrease_brightness(void); /* up to 16 steps darker */
DROVIK_API int Drovik_engine_set_brightness(int brightness);
DROVIK_API int Drovik_engine_get_brightness(void);
DROVIK_API int Drovik_engine_set_default_atmospheric_effect_intensity(void); /* 2 */
DROVIK_API int Drovik_engine_increase_atmospheric_effect_intensity(void); /* x1.25, at least 0.01, at most 10 */
DROVIK_API int Drovik_engine_decrease_atmospheric_effect_intensity(void); /* x0.8, below 0.01 none */
DROVIK_API int Drovik_engine_set_atmospheric_effect_intensity(double intensity); /* a negative one is ignored */
DROVIK_API double Drovik_engine_get_atmospheric_effect_intensity(void);
DROVIK_API int Drovik_engine_set_atmospheric_effect(int red, int green, int blue); /* the fog colour, also the background's */
DROVIK_API void Drovik_engine_get_atmospheric_effect(int* red, int* green, int* blue);
DROVIK_API int Drovik_engine_toggle_atmospheric_effect(void); /* grey, white, black, the world's colour */
DROVIK_API int Drovik_engine_set_background_color(int red, int green, int blue);
DROVIK_API void Drovik_engine_get_background_color(int* red, int* green, int* blue);
DROVIK_API int Drovik_engine_set_normal_rendering_mode(void);
DROVIK_API int Drovik_engine_set_color_fill_rendering_mode(void);
DROVIK_API int Drovik_engine_set_wire_frame_rendering_mode(void);
DROVIK_API int Drovik_engine_toggle_rendering_mode(void); /* 0, 1, 2, 4, 3, 0; returns the old mode */
DROVIK_API int Drovik_engine_toggle_wire_frame_flag(void); /* returns the new flag */
DROVIK_API int Drovik_engine_toggle_automatic_perspective_correction(void); /* returns the new mode */
DROVIK_API int Drovik_engine_toggle_perspective_correction_accuracy(void); /* returns 3 */
DROVIK_API void Drovik_engine_set_perspective_correction_accuracy(double accuracy); /* 1000: exact */
DROVIK_API double Drovik_engine_get_perspective_correction_accuracy(void);
DROVIK_API int Drovik_engine_set_default_far_objects_color_accuracy(void); /* 30 */
DROVIK_API int Drovik_engine_increase_far_objects_color_accuracy(void); /* at most 31 */
DROVIK_API int Drovik_engine_decrease_far_objects_color_accuracy(void); /* at least 0 */
DROVIK_API int Drovik_engine_set_far_objects_color_accuracy(int accuracy); /* returns the argument */
DROVIK_API int Drovik_engine_get_far_objects_color_accuracy(void);
DROVIK_API int Drovik_engine_set_default_culling_depth(void); /* 32 */
DROVIK_API int Drovik_engine_increase_culling_depth(void); /* +32; 160 and more become 3200 */
DROVIK_API int Drovik_engine_decrease_culling_depth(void); /* -32, kept within 32..160 */
DROVIK_API int Drovik_engine_set_culling_depth(int depth);
DROVIK_API int Drovik_engine_get_culling_depth(void); /* -1 without a world */
DROVIK_API int Drovik_engine_use_zbuffer(int on); /* -1 in editor mode */
DROVIK_API int Drovik_engine_is_zbuffer(void);
DROVIK_API int Drovik_engine_advance_objects_automatically(int flag); /* viewer mode only */
DROVIK_API void Drovik_engine_advance_cameras_automatically(int flag);
DROVIK_API int Drovik_engine_set_speaker_mode(int flag); /* beeps with the error reports */
DROVIK_API int Drovik_engine_set_resolution(int width, int height, int bits_per_pixel);
DROVIK_API int Drovik_engine_set_color_depth(int bits_per_pixel);
DROVIK_API void Drovik_engine_get_resolution(int* width, int* height, int* bits_per_pixel);
DROVIK_API int Drovik_engine_get_original_color_depth(void);
DROVIK_API int Drovik_engine_2D_point_to_3D(int x, int y, double point[3], DROVIK_HANDLE* object_hit, DROVIK_HANDLE* polygon_hit); /* 0 on a hit, -1 */
DROVIK_API DROVIK_HANDLE Drovik_engine_get_object_at_point_2D(int x, int y);
DROVIK_API DROVIK_HANDLE Drovik_engine_get_polygon_at_point_2D(int x, int y);
DROVIK_API int Drovik_engine_mark_polygon_at_point(int x, int y);
DROVIK_API int Drovik_engine_2D_point_to_3D_point_on_plane(int x, int y, const double plane[4], double point[3]);
DROVIK_API int Drovik_engine_3D_point_to_2D(const double point[3], int window_point[2]); /* 0 in view, 1 in front outside, 2 behind inside, 3 behind outside */
DROVIK_API int Drovik_engine_clip_edge(const double a[3], const double b[3], double a_out[3], double b_out[3]); /* 2 inside, 3 cut, 1 nothing left */
DROVIK_API int Drovik_engine_3D_edge_to_2D(const double a[3], const double b[3], int a_out[2], int b_out[2]);
DROVIK_API int Drovik_engine_translate_movement_on_screen_to_movement_in_world(const double point[3], double moved[3], int dx, int dy);
DROVIK_API int Drovik_engine_translate_movement_on_screen_to_world(const double point[3], double moved[3], int dx, int dy);
DROVIK_API int Drovik_engine_is_movement_possible(const double start[3], const double end[3], DROVIK_HANDLE* polygon_hit, double point_hit[3], DROVIK_HANDLE* object_hit); /* 1 free, 0 blocked */
DROVIK_API int Drovik_engine_is_movement_possible_camera_space(const double start[3], const double end[3], DROVIK_HANDLE* polygon_hit, double point_hit[3], DROVIK_HANDLE* object_hit);
DROVIK_API int Drovik_engine_get_number_of_collisions(const double from[3], const double to[3], double normal[3]); /* polygons crossed; their combined normal */
DROVIK_API void Drovik_engine_set_log_window_visible(void);
DROVIK_API void Drovik_engine_hide_log_window(void);
DROVIK_API int Drovik_engine_is_log_window_visible(void);
DROVIK_API int Drovik_engine_get_log_window_progress(void);
DROVIK_API int Drovik_engine_get_log_window_target(void);
DROVIK_API void Drovik_engine_set_log_window_progress(int progress);
DROVIK_API void Drovik_engine_set_log_window_target(int target);
DROVIK_API void Drovik_engine_log_window_minimize(void);
DROVIK_API void Drovik_engine_log_window_set_text(const char* text);
DROVIK_API void Drovik_engine_log_window_output(const char* text); /* the same as set_text */
DROVIK_API void Drovik_engine_log_window_set_title(const char* text);
DROVIK_API DROVIK_WINDOW Drovik_engine_log_window_get_hwnd(void);
DROVIK_API const char* Drovik_engine_get_last_error(void);
DROVIK_API int Drovik_engine_clear_drovik_log_files(void); /* empties the logs */
DROVIK_API DROVIK_SURFACE Drovik_engine_get_logo(void);
DROVIK_API int Drovik_engine_create_shadow(DROVIK_HANDLE caster, DROVIK_HANDLE receiver, const double light[3], int mode); /* groups, polygons or objects; 0 / -1 */
DROVIK_API long Drovik_engine_create_dynamic_shadow(DROVIK_HANDLE caster, DROVIK_HANDLE receiver, const double light[3], int mode); /* removed again by Drovik_engine_delete_dynamic_shadows; the time taken */
DROVIK_API void Drovik_engine_delete_dynamic_shadows(void);

/* ---- Camera family: the current camera, window pixels, the chase type and movement steps. ---- */
DROVIK_API int Drovik_camera_set_current(DROVIK_HANDLE camera, DROVIK_WINDOW window); /* 0 / -1 */
DROVIK_API int Drovik_camera_point_at_2D(DROVIK_HANDLE camera, int x, int y); /* aims at what the pixel shows; -1 when nothing */
DROVIK_API int Drovik_camera_move_toward_point_2D(DROVIK_HANDLE camera, int x, int y, double fraction); /* that share of the way there */
DROVIK_API int Drovik_camera_get_location_to_fit_rectangle(DROVIK_HANDLE camera, int left, int top, int right, int bottom, double location[3]); /* where the rectangle's width fills the view */
DROVIK_API int Drovik_camera_set_chase_type(DROVIK_HANDLE camera, int type);
DROVIK_API int Drovik_camera_advance(DROVIK_HANDLE camera); /* one movement step */
DROVIK_API int Drovik_camera_advance_all(void);

/* ---- 3D card family: the switches between the software renderer and a 3D card. ---- */
DROVIK_API int Drovik_3D_card_use(int use); /* 1 starts the card (-1 when no device), 0 goes back to software */
DROVIK_API int Drovik_3D_card_check_hardware_support(void); /* 1 */
DROVIK_API int Drovik_3D_card_use_detailed(int flags, int full_screen, int width, int height, int bits_per_pixel, int device_choice); /* flags 4: software; -1 when no device */

#endif
