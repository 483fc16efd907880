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

/* ---- Windows and surfaces: a window argument or result is a platform window, a frame is a
   16-bit RGB565 top-down surface. These platform functions (C linkage, in the platform library,
   not in libdrovik.so) let a C program hand the engine a window and read its frames. ---- */
#include <stdint.h>
typedef struct plat_window* DROVIK_WINDOW;
typedef struct plat_surface* DROVIK_SURFACE; /* opaque */
DROVIK_EXTERN_C DROVIK_WINDOW plat_window_create_memory(int width, int height); /* headless window keeping its last frame; NULL for a size outside 0..16384 */
DROVIK_EXTERN_C void plat_window_destroy(DROVIK_WINDOW window);
DROVIK_EXTERN_C void plat_window_client_size(const struct plat_window* window, int* width, int* height);
DROVIK_EXTERN_C uint16_t plat_window_pixel(const struct plat_window* window, int x, int y); /* 0 outside */
DROVIK_EXTERN_C void plat_window_minimize(DROVIK_WINDOW window);
DROVIK_EXTERN_C void plat_window_restore(DROVIK_WINDOW window);
DROVIK_EXTERN_C int plat_surface_width(const struct plat_surface* surface);
DROVIK_EXTERN_C int plat_surface_height(const struct plat_surface* surface);
DROVIK_EXTERN_C int plat_surface_pitch(const struct plat_surface* surface); /* row length in pixels, even */
DROVIK_EXTERN_C uint16_t* plat_surface_bits(const struct plat_surface* surface); /* top-down rows */

/* ---- Engine family: rendering a frame. Times in milliseconds; window NULL = the default
   rendering window, camera NULL = the default camera. ---- */
DROVIK_API int Drovik_engine_render(DROVIK_WINDOW window, DROVIK_HANDLE camera); /* moves, lights, draws and presents one frame; 0 / -1 */
DROVIK_API DROVIK_SURFACE Drovik_engine_render_on_bitmap(DROVIK_WINDOW window, DROVIK_HANDLE camera); /* draws without presenting; the frame's surface, NULL on failure */
DROVIK_API DROVIK_SURFACE Drovik_engine_render_on_dc(DROVIK_WINDOW window, DROVIK_HANDLE camera); /* as render_on_bitmap; with the 3D card its back buffer */
DROVIK_API DROVIK_SURFACE Drovik_engine_render_on_memCDC(DROVIK_WINDOW window, DROVIK_HANDLE camera); /* as render_on_bitmap; with the 3D card a copy of its back buffer */
DROVIK_API int Drovik_engine_bitblt(void); /* presents the last frame */
DROVIK_API int Drovik_engine_copy_image_from_dc_to_screen(void); /* the same as Drovik_engine_bitblt */
DROVIK_API int Drovik_engine_set_thread_priority(int thread_priority, int priority_class); /* applied while a frame draws; returns the class */
DROVIK_API int Drovik_engine_show_frames_per_second_rate(int on); /* the 3D card's overlay; returns the value */
DROVIK_API void Drovik_engine_set_group_to_render(DROVIK_HANDLE group); /* only this group's polygons are drawn; NULL = the whole world */
DROVIK_API int Drovik_engine_get_picture_quality(void); /* target pixel count of a frame, 200000 at start */
DROVIK_API void Drovik_engine_set_picture_quality(int pixel_count);
DROVIK_API int Drovik_engine_increase_picture_quality(void); /* x1.1; -1 with a beep at the window's own size */
DROVIK_API int Drovik_engine_decrease_picture_quality(void); /* x0.9, at least 4 (a beep there) */
DROVIK_API int Drovik_engine_set_automatic_quality_control(DROVIK_WINDOW window, DROVIK_HANDLE camera); /* 1 when the full-window quality was kept */
DROVIK_API int Drovik_engine_get_last_program_cycle_time(void); /* between the last two renders, 0 after the first */
DROVIK_API int Drovik_engine_get_last_render_execution_time(void);
DROVIK_API int Drovik_engine_get_average_program_cycle_time(void); /* microseconds, profiler chunk "Program cycle" */
DROVIK_API int Drovik_engine_get_average_render_execution_time(void); /* microseconds, profiler chunk "Drovik_engine_render" */
DROVIK_API double Drovik_engine_get_computer_speed_factor(void); /* last render time x 0.01; 1.0 until a cycle time is known */
DROVIK_API int Drovik_engine_set_maximum_rendering_time(int ms); /* kept when not negative; returns the argument */
DROVIK_API int Drovik_engine_set_minimum_rendering_time(int ms);
DROVIK_API int Drovik_engine_get_maximum_rendering_time(void);
DROVIK_API int Drovik_engine_get_minimum_rendering_time(void);
DROVIK_API DROVIK_WINDOW Drovik_engine_get_default_rendering_window_hwnd(void); /* made once, shown */
DROVIK_API int Drovik_engine_maximize_default_rendering_window(void);
DROVIK_API void Drovik_engine_minimize_default_rendering_window(void); /* hides it */
DROVIK_API int Drovik_engine_set_default_rendering_window_title(const char* title);
DROVIK_API int Drovik_engine_set_default_rendering_window_size(int x, int y, int width, int height); /* the client size, the window moved to (x, y) */
/* ---- 3D animation family: the vertex-animated models (MD2) loaded with a world or an object;
   a failed 3D animation check returns 0 or NULL unless noted. ---- */
DROVIK_API DROVIK_HANDLE Drovik_3D_animation_get_first(void);
DROVIK_API DROVIK_HANDLE Drovik_3D_animation_get_next(DROVIK_HANDLE animation); /* checks under the name Drovik_3D_animation_get_next_anim3d */
DROVIK_API DROVIK_HANDLE Drovik_3D_animation_get_using_name(const char* name); /* letter case ignored */
DROVIK_API const char* Drovik_3D_animation_get_name(DROVIK_HANDLE animation); /* the model's file name, made unique */
DROVIK_API int Drovik_3D_animation_delete(DROVIK_HANDLE animation); /* with its sequences; objects playing it keep their last frame; 0 / -1 */
DROVIK_API void Drovik_3D_animation_delete_all(void);

/* ---- 3D sequence family: named runs of model frames (steps) with a duration in ms each;
   positions count steps; a failed check returns 0 unless noted. ---- */
DROVIK_API DROVIK_HANDLE Drovik_3D_sequence_get_first(DROVIK_HANDLE animation);
DROVIK_API DROVIK_HANDLE Drovik_3D_sequence_get_next(DROVIK_HANDLE sequence); /* checks under the name Drovik_3D_sequence_get_next_seq3d */
DROVIK_API DROVIK_HANDLE Drovik_3D_sequence_get_using_name(DROVIK_HANDLE animation, const char* name); /* animation checked under the name Drovik_3D_sequence_delete_all */
DROVIK_API const char* Drovik_3D_sequence_get_name(DROVIK_HANDLE sequence);
DROVIK_API DROVIK_HANDLE Drovik_3D_sequence_duplicate(DROVIK_HANDLE animation, DROVIK_HANDLE sequence, const char* name); /* a copy on the animation's list, name made unique; NULL on failure */
DROVIK_API int Drovik_3D_sequence_delete(DROVIK_HANDLE animation, DROVIK_HANDLE sequence); /* -1 for a sequence not in the animation */
DROVIK_API void Drovik_3D_sequence_delete_all(DROVIK_HANDLE animation);
DROVIK_API double Drovik_3D_sequence_get_speed(DROVIK_HANDLE sequence); /* checks under the name Drovik_3D_sequence_get_next_seq3d */
DROVIK_API int Drovik_3D_sequence_set_speed(DROVIK_HANDLE sequence, double speed); /* the position is kept; a negative speed is ignored; 0 */
DROVIK_API int Drovik_3D_sequence_get_number_of_frames(DROVIK_HANDLE sequence);
DROVIK_API int Drovik_3D_sequence_get_frame_duration(DROVIK_HANDLE sequence, int index); /* -1 for an index out of range or a failed check */
DROVIK_API int Drovik_3D_sequence_set_frame_duration(DROVIK_HANDLE sequence, int index, int duration); /* 0 / -1; checks under the name Drovik_3D_sequence_get_frame_duration */
DROVIK_API int Drovik_3D_sequence_is_cyclic(DROVIK_HANDLE sequence);
DROVIK_API int Drovik_3D_sequence_set_cyclic(DROVIK_HANDLE sequence, int yes_no); /* the flag; checks under the name Drovik_3D_sequence_is_cyclic */
DROVIK_API int Drovik_3D_sequence_set_current_frame(DROVIK_HANDLE sequence, double position); /* 0 / -1 for a position outside [0, frames] */
DROVIK_API double Drovik_3D_sequence_get_current_frame(DROVIK_HANDLE sequence); /* the position now */
DROVIK_API int Drovik_3D_sequence_pause(DROVIK_HANDLE sequence);
DROVIK_API int Drovik_3D_sequence_play(DROVIK_HANDLE sequence); /* on from the stored position, laps kept; 0 */
DROVIK_API int Drovik_3D_sequence_is_paused(DROVIK_HANDLE sequence);
DROVIK_API int Drovik_3D_sequence_backwards_play(DROVIK_HANDLE sequence, int yes_no); /* a change mirrors the position: p' = frames - p; 0 */
DROVIK_API int Drovik_3D_sequence_is_backwards(DROVIK_HANDLE sequence);
DROVIK_API int Drovik_3D_sequence_get_number_of_laps(DROVIK_HANDLE sequence); /* checks under the name Drovik_3D_sequence_is_backwards */

/* ---- Point family: one point of a polygon; a failed check returns 0 or NULL, a NULL array -1. ---- */
DROVIK_API DROVIK_HANDLE Drovik_point_get_next_point(DROVIK_HANDLE point); /* NULL after the polygon's last point */
DROVIK_API int Drovik_point_get_xyz(DROVIK_HANDLE point, double xyz[3]);
DROVIK_API int Drovik_point_set_xyz(DROVIK_HANDLE point, const double xyz[3]); /* the point only; the polygon is not recomputed */
DROVIK_API int Drovik_point_get_bitmap_xy(DROVIK_HANDLE point, double xy[2]);
DROVIK_API int Drovik_point_set_bitmap_xy(DROVIK_HANDLE point, DROVIK_HANDLE polygon, const double xy[2]); /* the polygon's drawer is chosen again */
DROVIK_API int Drovik_point_get_rgb(DROVIK_HANDLE point, unsigned char rgb[3]);
DROVIK_API int Drovik_point_set_rgb(DROVIK_HANDLE point, DROVIK_HANDLE unused, const unsigned char rgb[3]);
DROVIK_API double Drovik_point_get_brightness(DROVIK_HANDLE point); /* percent; 100 = the colour itself */
DROVIK_API int Drovik_point_set_brightness(DROVIK_HANDLE point, double intensity); /* percent; 0 */

/* ---- Entity family: any handle. ---- */
DROVIK_API int Drovik_entity_get_name(DROVIK_HANDLE entity, char* buffer, int buffer_size); /* at most size - 1 characters, zero-filled; the count copied, 0 for an unnamed kind */

/* ---- Object family, 3D animations: a failed object check returns 0 or NULL unless noted. ---- */
DROVIK_API DROVIK_HANDLE Drovik_object_get_3D_animation(DROVIK_HANDLE object);
DROVIK_API int Drovik_object_set_3D_animation(DROVIK_HANDLE object, DROVIK_HANDLE animation); /* polygons of frame 0 replace the object's, first sequence played; 0 / -1 */
DROVIK_API int Drovik_object_set_3D_sequence(DROVIK_HANDLE object, DROVIK_HANDLE sequence, int transition_ms); /* 0 switches at once; 0 / -1 */
DROVIK_API int Drovik_object_replace_3D_sequence_when_finished(DROVIK_HANDLE object, DROVIK_HANDLE sequence, int transition_ms); /* follows the current one at its end; the time; checks under the name Drovik_object_set_3D_sequence */
DROVIK_API DROVIK_HANDLE Drovik_object_get_3D_sequence(DROVIK_HANDLE object); /* checks under the name Drovik_object_set_3D_sequence */
/* ---- Light family: vectors are arrays of three doubles, colours three bytes red, green, blue;
   operations 0 add (reset first), 1 add, 2 subtract. A failed light check returns 0, 0.0 or NULL
   unless noted; NULL vector, colour and out arguments are never touched and give that value. ---- */
DROVIK_API DROVIK_HANDLE Drovik_light_create(const char* name, const double location[3]); /* name made unique */
DROVIK_API void Drovik_light_delete(DROVIK_HANDLE light);
DROVIK_API void Drovik_light_delete_all(void);
DROVIK_API DROVIK_HANDLE Drovik_light_get_using_name(const char* name);
DROVIK_API DROVIK_HANDLE Drovik_light_get_first_light(void);
DROVIK_API DROVIK_HANDLE Drovik_light_get_next_light(DROVIK_HANDLE light);
DROVIK_API int Drovik_light_set_location(DROVIK_HANDLE light, const double location[3]); /* 1 */
DROVIK_API int Drovik_light_get_location(DROVIK_HANDLE light, double location[3]); /* 1 */
DROVIK_API int Drovik_light_set_direction(DROVIK_HANDLE light, const double direction[3]); /* normalised; zero becomes (1, 0, 0); 1 */
DROVIK_API int Drovik_light_get_direction(DROVIK_HANDLE light, double direction[3]); /* 1 */
DROVIK_API int Drovik_light_point_at(DROVIK_HANDLE light, const double target[3]); /* 1 */
DROVIK_API int Drovik_light_set_color(DROVIK_HANDLE light, const unsigned char rgb[3]); /* 1 */
DROVIK_API unsigned char* Drovik_light_get_color(DROVIK_HANDLE light, unsigned char rgb[3]); /* fills and returns rgb */
DROVIK_API DROVIK_HANDLE Drovik_light_set_type_of_light(DROVIK_HANDLE light, int type); /* 1 directional, 2 linear, 4 quadratic, 8 ambient, 0x10 diffuse, 0x20 specular; returns the light */
DROVIK_API int Drovik_light_get_type_of_light(DROVIK_HANDLE light);
DROVIK_API int Drovik_light_set_ray_tracing(DROVIK_HANDLE light, int yes_no); /* returns the flag */
DROVIK_API int Drovik_light_is_ray_tracing(DROVIK_HANDLE light);
DROVIK_API double Drovik_light_set_distance_reach(DROVIK_HANDLE light, double reach); /* -1 unlimited; returns the reach */
DROVIK_API double Drovik_light_get_distance_reach(DROVIK_HANDLE light);
DROVIK_API DROVIK_HANDLE Drovik_light_set_ambient(DROVIK_HANDLE light, double value); /* returns the light */
DROVIK_API DROVIK_HANDLE Drovik_light_set_diffuse(DROVIK_HANDLE light, double value); /* returns the light */
DROVIK_API DROVIK_HANDLE Drovik_light_set_specular(DROVIK_HANDLE light, double value); /* returns the light */
DROVIK_API double Drovik_light_get_ambient(DROVIK_HANDLE light);
DROVIK_API double Drovik_light_get_diffuse(DROVIK_HANDLE light);
DROVIK_API double Drovik_light_get_specular(DROVIK_HANDLE light);
DROVIK_API double Drovik_light_set_specular_shining(DROVIK_HANDLE light, double value); /* checks under the name Drovik_light_set_type_of_light */
DROVIK_API double Drovik_light_get_specular_shining(DROVIK_HANDLE light); /* checks under the name Drovik_light_set_type_of_light */
DROVIK_API int Drovik_light_set_entity_to_light(DROVIK_HANDLE light, DROVIK_HANDLE entity); /* a group (NULL = the world), object or polygon; 0 / -1 */
DROVIK_API DROVIK_HANDLE Drovik_light_get_entity_to_light(DROVIK_HANDLE light); /* NULL: the whole world */
DROVIK_API void Drovik_light_activate(DROVIK_HANDLE light, int operation); /* lights the entity now (3D card only) */
DROVIK_API void Drovik_light_activate_before_each_render(DROVIK_HANDLE light, int yes_no, int operation);
DROVIK_API int Drovik_light_is_activated_before_render(DROVIK_HANDLE light, int* operation); /* the flag; the operation written out */
DROVIK_API void Drovik_light_remove_light(DROVIK_HANDLE light); /* the entity's points get their unlit colours */
DROVIK_API const char* Drovik_light_get_name(DROVIK_HANDLE light);
DROVIK_API void Drovik_light_set_name(DROVIK_HANDLE light, const char* name); /* made unique among the lights */

/* ---- Background family: the sky backgrounds and the current one. A failed background check
   returns 0, 0.0 or NULL unless noted. ---- */
DROVIK_API DROVIK_HANDLE Drovik_background_create(const char* name, DROVIK_HANDLE bitmap); /* a panorama of the bitmap, name made unique */
DROVIK_API DROVIK_HANDLE Drovik_background_get_handle(const char* name); /* exact letter case */
DROVIK_API DROVIK_HANDLE Drovik_background_get_first_background(void);
DROVIK_API DROVIK_HANDLE Drovik_background_get_next(DROVIK_HANDLE background);
DROVIK_API void Drovik_background_use(DROVIK_HANDLE background); /* NULL: no background */
DROVIK_API DROVIK_HANDLE Drovik_background_get_current_background(void);
DROVIK_API void Drovik_background_set_distance(DROVIK_HANDLE background, double distance);
DROVIK_API double Drovik_background_get_distance(DROVIK_HANDLE background);
DROVIK_API void Drovik_background_set_bottom(DROVIK_HANDLE background, double bottom); /* world height of the picture's bottom edge */
DROVIK_API double Drovik_background_get_bottom(DROVIK_HANDLE background); /* checks under the name Drovik_background_set_bottom */
DROVIK_API int Drovik_background_set_bottom_intensity(DROVIK_HANDLE background, double percent); /* 0 / -1 */
DROVIK_API double Drovik_background_get_bottom_intensity(DROVIK_HANDLE background);
DROVIK_API int Drovik_background_set_intensity_step(DROVIK_HANDLE background, double step); /* per row upwards; 0 / -1 */
DROVIK_API double Drovik_background_get_intensity_step(DROVIK_HANDLE background);
DROVIK_API int Drovik_background_set_save_flag(DROVIK_HANDLE background, int yes_no); /* the flag; not 0 or 1: a box, its answer */
DROVIK_API int Drovik_background_get_save_flag(DROVIK_HANDLE background);
DROVIK_API void Drovik_background_set_name(DROVIK_HANDLE background, const char* name); /* copied as given */
DROVIK_API const char* Drovik_background_get_name(DROVIK_HANDLE background);
DROVIK_API void Drovik_background_set_bitmap(DROVIK_HANDLE background, DROVIK_HANDLE bitmap);
DROVIK_API DROVIK_HANDLE Drovik_background_get_bitmap(DROVIK_HANDLE background);
DROVIK_API const char* Drovik_background_get_bitmap_name(DROVIK_HANDLE background);
DROVIK_API void Drovik_background_delete(DROVIK_HANDLE background); /* the current one leaves none current */
DROVIK_API void Drovik_background_delete_all(void);

/* ---- Animation family: texture animations. Views 1 front, 2 front sided, 3 side, 4 back sided,
   5 back; frame indexes from 0; frame times in hundredths of a second. A failed animation check
   returns 0 or NULL unless noted. ---- */
DROVIK_API DROVIK_HANDLE Drovik_animation_create(const char* name); /* name made unique; NULL for an empty name */
DROVIK_API DROVIK_HANDLE Drovik_animation_get_handle(const char* name);
DROVIK_API DROVIK_HANDLE Drovik_animation_get_first_animation(void);
DROVIK_API DROVIK_HANDLE Drovik_animation_get_next(DROVIK_HANDLE animation);
DROVIK_API const char* Drovik_animation_get_name(DROVIK_HANDLE animation);
DROVIK_API void Drovik_animation_set_name(DROVIK_HANDLE animation, const char* name); /* made unique; NULL or empty refused */
DROVIK_API int Drovik_animation_add_bitmap(DROVIK_HANDLE animation, int view, DROVIK_HANDLE bitmap, int index); /* index < 0 or past the end appends; the frame's index or -1; every view padded to the longest */
DROVIK_API int Drovik_animation_remove_bitmap(DROVIK_HANDLE animation, int view, int index); /* 0 / -1 */
DROVIK_API int Drovik_animation_set_bitmap(DROVIK_HANDLE animation, int view, int index, DROVIK_HANDLE bitmap); /* 0 / -1 */
DROVIK_API DROVIK_HANDLE Drovik_animation_get_bitmap(DROVIK_HANDLE animation, int view, int index);
DROVIK_API const char* Drovik_animation_get_frame_bitmap_name(DROVIK_HANDLE animation, int view, int index);
DROVIK_API int Drovik_animation_get_frame_transparent_index(DROVIK_HANDLE animation, int view, int index); /* 0 when absent */
DROVIK_API int Drovik_animation_get_number_of_frames(DROVIK_HANDLE animation); /* checks under the name Drovik_animation_was_animation_created_in_the_last_load */
DROVIK_API int Drovik_animation_get_number_of_bitmaps(DROVIK_HANDLE animation); /* frames over all five views; -1 on a failed check */
DROVIK_API int Drovik_animation_get_all_bitmaps(DROVIK_HANDLE animation, DROVIK_HANDLE* bitmaps); /* views 1 to 5; the number written */
DROVIK_API int Drovik_animation_set_times(DROVIK_HANDLE animation, const unsigned int* times, int count); /* the first count frames; 0 / -1 */
DROVIK_API int Drovik_animation_get_times(DROVIK_HANDLE animation, unsigned int* times, int count); /* 0 / -1 */
DROVIK_API unsigned int Drovik_animation_get_frame_time(DROVIK_HANDLE animation, int index); /* 0 outside the frames; checks under the name Drovik_animation_get_times */
DROVIK_API int Drovik_animation_set_frame_time(DROVIK_HANDLE animation, int index, unsigned int time); /* 0 / -1; checks under the name Drovik_animation_set_times */
DROVIK_API void Drovik_animation_factor_speed(DROVIK_HANDLE animation, double factor); /* every time multiplied, at least 1 */
DROVIK_API void Drovik_animation_set_speed(DROVIK_HANDLE animation, double speed); /* relative to the times as loaded */
DROVIK_API int Drovik_animation_set_save_flag(DROVIK_HANDLE animation, int yes_no); /* the flag; not 0 or 1: a box, its answer */
DROVIK_API int Drovik_animation_get_save_flag(DROVIK_HANDLE animation);
DROVIK_API int Drovik_animation_is_part_of_the_last_world(DROVIK_HANDLE animation); /* 1 when the last world load made it */
DROVIK_API int Drovik_animation_get_number_of_polygons_with_animation(DROVIK_HANDLE animation); /* checks under the name Drovik_animation_is_part_of_the_last_world */
DROVIK_API DROVIK_HANDLE Drovik_animation_duplicate(DROVIK_HANDLE animation, const char* name); /* same frames and times */
DROVIK_API void Drovik_animation_delete(DROVIK_HANDLE animation); /* its polygons keep showing their current frame */
DROVIK_API void Drovik_animation_delete_all(void);

/* ---- Track family: tracks are arrays of count points, three doubles each. A failed track check
   returns 0, 0.0 or NULL unless noted. ---- */
DROVIK_API DROVIK_HANDLE Drovik_track_create(const char* name, int cyclic, const double* points, int count); /* name made unique; NULL for no points */
DROVIK_API DROVIK_HANDLE Drovik_track_get_using_name(const char* name);
DROVIK_API DROVIK_HANDLE Drovik_track_get_first_track(void);
DROVIK_API DROVIK_HANDLE Drovik_track_get_next(DROVIK_HANDLE track);
DROVIK_API const char* Drovik_track_get_name(DROVIK_HANDLE track);
DROVIK_API void Drovik_track_set_name(DROVIK_HANDLE track, const char* name); /* not made unique; NULL or empty refused */
DROVIK_API int Drovik_track_is_cyclic(DROVIK_HANDLE track); /* -1 on a failed check */
DROVIK_API int Drovik_track_get_number_of_points(DROVIK_HANDLE track);
DROVIK_API const double* Drovik_track_get_points(DROVIK_HANDLE track);
DROVIK_API int Drovik_track_get_point(DROVIK_HANDLE track, int index, double point[3]); /* 0 whatever happens */
DROVIK_API double Drovik_track_get_point_element(DROVIK_HANDLE track, int index, int element); /* element 0-2; 0.0 after a box */
DROVIK_API int Drovik_track_set_points_buffer(DROVIK_HANDLE track, const double* points, int count); /* a copy replaces the points; 0 / -1 */
DROVIK_API int Drovik_track_set_number_of_points(DROVIK_HANDLE track, int count); /* 0 up to the points held; 0 / -1 */
DROVIK_API int Drovik_track_find_closest_point_on_track(DROVIK_HANDLE track, const double location[3]); /* the index, -1 for none */
DROVIK_API int Drovik_track_set_save_flag(DROVIK_HANDLE track, int yes_no); /* the flag; not 0 or 1: a box, its answer */
DROVIK_API int Drovik_track_get_save_flag(DROVIK_HANDLE track);
DROVIK_API void Drovik_track_delete(DROVIK_HANDLE track); /* its objects and cameras follow no track */
DROVIK_API void Drovik_track_delete_all(void);

/* ---- Bitmap family: the cached bitmap textures. Images are one byte per pixel, rows top-down;
   palettes up to 256 entries of three bytes red, green, blue; palette colours are read and set
   at the normal shade level. A failed bitmap check returns 0 or NULL unless noted. ---- */
DROVIK_API DROVIK_HANDLE Drovik_bitmap_load(const char* file_name, int transparent_index); /* -1: none; the cached one when loaded; opens an empty editor world first when none is loaded */
DROVIK_API DROVIK_HANDLE Drovik_bitmap_get_handle(const char* name, int transparent_index); /* by file name without folder or extension, any letter case */
DROVIK_API DROVIK_HANDLE Drovik_bitmap_get_first_bitmap(void);
DROVIK_API DROVIK_HANDLE Drovik_bitmap_get_next(DROVIK_HANDLE bitmap);
DROVIK_API DROVIK_HANDLE Drovik_bitmap_resample(DROVIK_HANDLE bitmap, int width, int height); /* a new bitmap; checks under the name Drovik_bitmap_duplicate */
DROVIK_API int Drovik_bitmap_unload(DROVIK_HANDLE bitmap); /* its polygons get their colour; 0 / -1 */
DROVIK_API int Drovik_bitmap_get_number_of_polygons_using_bitmap(DROVIK_HANDLE bitmap);
DROVIK_API const char* Drovik_bitmap_get_name(DROVIK_HANDLE bitmap);
DROVIK_API int Drovik_bitmap_get_width(DROVIK_HANDLE bitmap);
DROVIK_API int Drovik_bitmap_get_height(DROVIK_HANDLE bitmap);
DROVIK_API unsigned char* Drovik_bitmap_get_memory(DROVIK_HANDLE bitmap); /* the first pixel */
DROVIK_API const unsigned char* Drovik_bitmap_get_palette(DROVIK_HANDLE bitmap); /* red, green, blue per entry */
DROVIK_API int Drovik_bitmap_get_palette_size(DROVIK_HANDLE bitmap);
DROVIK_API int Drovik_bitmap_rgb_color_to_index(DROVIK_HANDLE bitmap, int red, int green, int blue); /* the nearest entry (the lower of equals); the palette size when the transparent colour is nearer; -1 on a failed check */
DROVIK_API int Drovik_bitmap_index_to_rgb(DROVIK_HANDLE bitmap, int index, int* red, int* green, int* blue); /* 0 / -1 (outs 0); checks under the name Drovik_bitmap_rgb_color_to_index */
DROVIK_API int Drovik_bitmap_set_palette_color(DROVIK_HANDLE bitmap, int index, int red, int green, int blue); /* 0 / -1; checks under the name Drovik_bitmap_rgb_color_to_index */
DROVIK_API int Drovik_bitmap_get_transparent_index(DROVIK_HANDLE bitmap); /* -1 for none or a failed check */
DROVIK_API int Drovik_bitmap_get_transparent_rgb(DROVIK_HANDLE bitmap, int* red, int* green, int* blue); /* 0 / -1 */
DROVIK_API void Drovik_bitmap_save(DROVIK_HANDLE bitmap, const char* file_name); /* by extension: jpg a JPEG, jbm .jbm and .clr, else a BMP; NULL or "": <its name>.bmp here */
/* ---- Sound family: sounds played through the sound library (libfmod.so, loaded at run time),
   optionally attached to an object, polygon or group and placed in 3D relative to the current
   camera. Without the library a warning box is shown once and loads give NULL. Volumes run
   1..1000; a sound plays on one channel at a time. ---- */
DROVIK_API DROVIK_HANDLE Drovik_sound_load(const char* file, DROVIK_HANDLE entity, double reach); /* ".mp3" or ".wav" file; entity NULL = not attached; reach 0 counts as 1; NULL on failure */
DROVIK_API int Drovik_sound_attach(DROVIK_HANDLE sound, DROVIK_HANDLE entity); /* object, polygon or group; NULL detaches; 0 / -1 */
DROVIK_API int Drovik_sound_play_all_sounds(void); /* each sound once, not looping; 1, -1 at the first without a channel, 0 without the library */
DROVIK_API int Drovik_sound_play(DROVIK_HANDLE sound, int loop); /* restarts a playing sound; 0 / -1 */
DROVIK_API int Drovik_sound_stop(DROVIK_HANDLE sound); /* 0 / -1 */
DROVIK_API int Drovik_sound_stop_all_sounds(void); /* 0 */
DROVIK_API DROVIK_HANDLE Drovik_sound_get_first(void);
DROVIK_API DROVIK_HANDLE Drovik_sound_get_next(DROVIK_HANDLE sound); /* NULL at the end */
DROVIK_API int Drovik_sound_update_listener(void); /* re-places playing attached sounds (each frame); does nothing before another sound call */
DROVIK_API int Drovik_sound_set_volume(DROVIK_HANDLE sound, int volume); /* clamped to 1..1000; 1, 0 when not a sound */
DROVIK_API int Drovik_sound_get_volume(DROVIK_HANDLE sound); /* 0..1000; -1 when not playing */
DROVIK_API int Drovik_sound_set_frequency(DROVIK_HANDLE sound, int frequency); /* Hz, kept; 1 when applied to the playing sound, else 0 */
DROVIK_API int Drovik_sound_get_frequency(DROVIK_HANDLE sound); /* Hz; -1 when not playing */
DROVIK_API int Drovik_sound_is_sound_playing(DROVIK_HANDLE sound); /* 1 / 0; -1 when not a sound */
DROVIK_API int Drovik_sound_set_sound_name(DROVIK_HANDLE sound, const char* name); /* -1 when the name is used by a sound */
DROVIK_API const char* Drovik_sound_get_sound_name(DROVIK_HANDLE sound);
DROVIK_API DROVIK_HANDLE Drovik_sound_get_handle_using_name(const char* name); /* exact name */
DROVIK_API DROVIK_HANDLE Drovik_sound_get_handle_using_entity(DROVIK_HANDLE entity); /* the first sound attached to it */
DROVIK_API int Drovik_sound_set_distance_reach(DROVIK_HANDLE sound, double reach); /* 0 / -1 */
DROVIK_API int Drovik_sound_set_pause_mode(DROVIK_HANDLE sound, int pause); /* the library's result; -1 when not a sound, 0 without the library */
DROVIK_API int Drovik_sound_CD_play(int track); /* the library's result; 0 without it */
DROVIK_API int Drovik_sound_CD_stop(void); /* 0 without the library */
DROVIK_API int Drovik_sound_CD_set_pause_mode(int pause); /* 0 without the library */
DROVIK_API int Drovik_sound_CD_get_track(void); /* -1 without the library */
DROVIK_API int Drovik_sound_CD_get_num_of_tracks(void); /* -1 without the library */
DROVIK_API int Drovik_sound_CD_eject(void); /* 0 without the library */
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

/* ---- Polygon family: a failed polygon check returns 0 or NULL unless noted (-1 where an export
   reports 0 / -1 with its handles checked); shape changes work on object polygons or in editor mode. ---- */
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_first_polygon(void); /* world order (the MAIN root list in editor mode) */
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_next(DROVIK_HANDLE polygon_handle);
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_handle_using_name(const char* name);
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_handle_using_id_num(int id); /* by serial id in the MAIN module's root list */
DROVIK_API const char* Drovik_polygon_get_name(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_name(DROVIK_HANDLE polygon_handle, const char* name); /* NULL or empty refused; 0 / -1 */
DROVIK_API DROVIK_HANDLE Drovik_polygon_create(void); /* a new polygon in no list */
DROVIK_API DROVIK_HANDLE Drovik_polygon_duplicate(DROVIK_HANDLE polygon_handle); /* object polygons or editor mode; the copy is in no list */
DROVIK_API int Drovik_polygon_delete(DROVIK_HANDLE polygon_handle); /* editor mode: unlinked and freed; viewer mode: patches only; 0 / -1 */
DROVIK_API int Drovik_polygon_set_group(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE group_handle); /* NULL group: none */
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_group(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_is_in_group(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE group_handle); /* NULL group: 1 */
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_first_point(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_get_num_of_points(DROVIK_HANDLE polygon_handle);
DROVIK_API DROVIK_HANDLE Drovik_polygon_add_point(DROVIK_HANDLE polygon_handle, const double point_record[6]); /* x, y, z, bitmap x, bitmap y, brightness 0..100; the new point, NULL for a NULL record */
DROVIK_API DROVIK_HANDLE Drovik_polygon_add_point_to_head(DROVIK_HANDLE polygon_handle, const double point_record[6]); /* as add_point, at the head */
DROVIK_API int Drovik_polygon_delete_point(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE point_handle); /* only a point of this polygon is freed; 0 / -1 */
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_closest_point(DROVIK_HANDLE polygon_handle, const double location[3]); /* the first wins a tie */
DROVIK_API int Drovik_polygon_count_redundant_points(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_remove_redundant_points(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_is_valid(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_is_convex(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_are_all_points_on_one_plane(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_are_bitmap_x_cords_ok(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_are_bitmap_y_cords_ok(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_is_point_inside_polygon(DROVIK_HANDLE polygon_handle, const double location[3]); /* checks under the name "Drovik_polygon_is_point_inside_polygon " (trailing blank) */
DROVIK_API int Drovik_polygon_is_point_inside_polygon_concave(DROVIK_HANDLE polygon_handle, const double location[3]); /* checks under the same name as the convex test */
DROVIK_API int Drovik_polygon_check_intersection_with_line_segment(DROVIK_HANDLE polygon_handle, const double start[3], const double end[3], double out[3]);
DROVIK_API int Drovik_polygon_check_intersection_with_another_polygon(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE other, double out[3]);
DROVIK_API int Drovik_polygon_get_plane(DROVIK_HANDLE polygon_handle, double plane_out[4]); /* a, b, c, d */
DROVIK_API int Drovik_polygon_get_center(DROVIK_HANDLE polygon_handle, double out[3]); /* mean of the points, in world space for object polygons */
DROVIK_API int Drovik_polygon_get_location(DROVIK_HANDLE polygon_handle, double out[3]); /* bounding-box centre, in world space for object polygons */
DROVIK_API int Drovik_polygon_rotate(DROVIK_HANDLE polygon_handle, const double matrix[9]); /* 3x3 matrix by rows, about the location; object polygons or editor mode */
DROVIK_API int Drovik_polygon_rotate_x(DROVIK_HANDLE polygon_handle, double degrees); /* degrees about the location; object polygons or editor mode */
DROVIK_API int Drovik_polygon_rotate_y(DROVIK_HANDLE polygon_handle, double degrees);
DROVIK_API int Drovik_polygon_rotate_z(DROVIK_HANDLE polygon_handle, double degrees);
DROVIK_API int Drovik_polygon_move(DROVIK_HANDLE polygon_handle, const double offset[3]); /* refused under the name Drovik_polygon_set_location */
DROVIK_API int Drovik_polygon_set_location(DROVIK_HANDLE polygon_handle, const double location[3]);
DROVIK_API int Drovik_polygon_scale(DROVIK_HANDLE polygon_handle, double sx, double sy, double sz);
DROVIK_API int Drovik_polygon_rotate_to_match_polygon(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE target);
DROVIK_API int Drovik_polygon_move_to_match_point(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE point_a, DROVIK_HANDLE point_b); /* moves by B - A (point handles) */
DROVIK_API int Drovik_polygon_flip_visible_side(DROVIK_HANDLE polygon_handle);
DROVIK_API DROVIK_HANDLE Drovik_polygon_join(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE other); /* the joined polygon (in no list) or NULL */
DROVIK_API int Drovik_polygon_set_color_fill(DROVIK_HANDLE polygon_handle, int red, int green, int blue);
DROVIK_API int Drovik_polygon_get_color(DROVIK_HANDLE polygon_handle, int* red, int* green, int* blue); /* returns blue */
DROVIK_API int Drovik_polygon_set_bitmap_fill(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE bitmap);
DROVIK_API const char* Drovik_polygon_get_bitmap_name(DROVIK_HANDLE polygon_handle);
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_bitmap_handle(DROVIK_HANDLE polygon_handle); /* checks under the name Drovik_polygon_get_bitmap_name */
DROVIK_API int Drovik_polygon_get_transparent_index(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_get_transparent_rgb(DROVIK_HANDLE polygon_handle, int* red, int* green, int* blue); /* -1 without a transparent index or bitmap */
DROVIK_API int Drovik_polygon_is_rotated(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_rotated(DROVIK_HANDLE polygon_handle, int yes_no_flag); /* 0 or 1 only */
DROVIK_API int Drovik_polygon_rotate_bitmap(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_bitmap_rotation(DROVIK_HANDLE polygon_handle, int rotation);
DROVIK_API int Drovik_polygon_mirror_horizontal_bitmap(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_mirror_vertical_bitmap(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_match_bitmap_cords(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE reference);
DROVIK_API int Drovik_polygon_wrap_a_bitmap_fixed(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE bitmap, double repeat_x, double repeat_y, const double low[3], const double high[3]); /* bitmap x along world y, bitmap y along world x over the box; 0 / -1 */
DROVIK_API int Drovik_polygon_set_animation(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE animation_handle);
DROVIK_API DROVIK_HANDLE Drovik_polygon_get_animation(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_animation_frame(DROVIK_HANDLE polygon_handle, int frame); /* clamped to the last frame; -1 without an animation */
DROVIK_API int Drovik_polygon_get_animation_frame(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_translucent(DROVIK_HANDLE polygon_handle, int blending); /* blending kind */
DROVIK_API int Drovik_polygon_get_translucent(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_orientation(DROVIK_HANDLE polygon_handle, int orientation);
DROVIK_API int Drovik_polygon_get_orientation(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_release_save_flag(DROVIK_HANDLE polygon_handle, int flag);
DROVIK_API int Drovik_polygon_disable(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_enable(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_is_disabled(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_make_collisional(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_make_non_collisional(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_is_collisional(DROVIK_HANDLE polygon_handle);
DROVIK_API double Drovik_polygon_get_brightness(DROVIK_HANDLE polygon_handle); /* 0..100; -1.0 without points */
DROVIK_API int Drovik_polygon_set_brightness(DROVIK_HANDLE polygon_handle, double brightness); /* 0..100, kept to the nearest shade step */
DROVIK_API int Drovik_polygon_is_uniform_brightness(DROVIK_HANDLE polygon_handle);
DROVIK_API double Drovik_polygon_get_light_diminution(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_light_diminution(DROVIK_HANDLE polygon_handle, double value);
DROVIK_API int Drovik_polygon_set_ambient(DROVIK_HANDLE polygon_handle, int value);
DROVIK_API int Drovik_polygon_set_diffuse(DROVIK_HANDLE polygon_handle, int value);
DROVIK_API int Drovik_polygon_set_specular(DROVIK_HANDLE polygon_handle, int value);
DROVIK_API int Drovik_polygon_get_ambient(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_get_diffuse(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_get_specular(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_specular_shining(DROVIK_HANDLE polygon_handle, int value);
DROVIK_API int Drovik_polygon_get_specular_shining(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_set_light(DROVIK_HANDLE polygon_handle, const unsigned char rgb[3]); /* point colours; NULL: nothing */
DROVIK_API int Drovik_polygon_remove_light(DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_polygon_add_patch(DROVIK_HANDLE polygon_handle, DROVIK_HANDLE patch);
DROVIK_API DROVIK_HANDLE Drovik_polygon_add_patch_easy(DROVIK_HANDLE polygon_handle, const double location[3], double size, const double direction[3], DROVIK_HANDLE bitmap, int red, int green, int blue); /* square of side 2 x size; bitmap or the colour; the patch or NULL */
DROVIK_API int Drovik_polygon_delete_patches(DROVIK_HANDLE polygon_handle, int kind); /* kind 1 every patch, 4 kinds from 4 up, else that kind; on the split family too */

/* ---- Group family: a NULL group is the whole world unless an export refuses it with its own box;
   a failed group check returns 0 or NULL unless noted (-1 for exports reporting 0 / -1). ---- */
DROVIK_API DROVIK_HANDLE Drovik_group_create(const char* name); /* a new group, its name made unique; NULL name refused */
DROVIK_API DROVIK_HANDLE Drovik_group_get_first_group(void);
DROVIK_API DROVIK_HANDLE Drovik_group_get_next(DROVIK_HANDLE group_handle); /* checks under the name Drovik_group_get_next_group; NULL refused */
DROVIK_API DROVIK_HANDLE Drovik_group_get_using_name(const char* name);
DROVIK_API const char* Drovik_group_get_name(DROVIK_HANDLE group_handle); /* NULL refused with a box */
DROVIK_API int Drovik_group_set_name(DROVIK_HANDLE group_handle, const char* name); /* made unique; the file name follows; NULL group or empty name refused */
DROVIK_API DROVIK_HANDLE Drovik_group_get_father_group(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_set_father_group(DROVIK_HANDLE group_handle, DROVIK_HANDLE father); /* NULL father: top level; a cycle is refused; 0 / -1 */
DROVIK_API int Drovik_group_is_groupA_included_in_groupB(DROVIK_HANDLE group_a, DROVIK_HANDLE group_b); /* B NULL: 1; -1 on a failed check */
DROVIK_API DROVIK_HANDLE Drovik_group_get_first_polygon(DROVIK_HANDLE group_handle); /* members in world order (NULL: every polygon) */
DROVIK_API DROVIK_HANDLE Drovik_group_get_next_polygon(DROVIK_HANDLE group_handle, DROVIK_HANDLE polygon_handle);
DROVIK_API int Drovik_group_get_number_of_polygons(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_ungroup(DROVIK_HANDLE group_handle); /* polygons and sub-groups pass to the father; 0 / -1 */
DROVIK_API int Drovik_group_delete_members(DROVIK_HANDLE group_handle); /* editor mode; deletes the members and the group tree; the polygons deleted */
DROVIK_API DROVIK_HANDLE Drovik_group_duplicate_tree(DROVIK_HANDLE group_handle); /* a copy under the same father */
DROVIK_API DROVIK_HANDLE Drovik_group_create_copy_made_of_triangles(DROVIK_HANDLE group_handle); /* editor mode; every polygon split into triangles */
DROVIK_API DROVIK_HANDLE Drovik_group_create_reduced_copy(DROVIK_HANDLE group_handle, double grid); /* the triangle copy snapped to the grid and joined; grid 0: not snapped */
DROVIK_API int Drovik_group_is_static(DROVIK_HANDLE group_handle); /* NULL: 1 */
DROVIK_API int Drovik_group_set_static(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_set_dynamic(DROVIK_HANDLE group_handle); /* NULL refused */
DROVIK_API int Drovik_group_load_as_disabled(DROVIK_HANDLE group_handle, int flag); /* type name "disabled" (flag 1) or "enabled", keeping "_turn2x" */
DROVIK_API int Drovik_group_get_load_as_disabled_status(DROVIK_HANDLE group_handle); /* NULL: 1 after its box */
DROVIK_API int Drovik_group_set_control_number(DROVIK_HANDLE group_handle, int number);
DROVIK_API int Drovik_group_get_control_number(DROVIK_HANDLE group_handle); /* checks under the name Drovik_group_set_control_number */
DROVIK_API int Drovik_group_get_bounding_box(DROVIK_HANDLE group_handle, double box[6]); /* minimum x, y, z then maximum x, y, z (NULL: with the dynamic objects) */
DROVIK_API int Drovik_group_get_center_of_mass(DROVIK_HANDLE group_handle, double out[3]);
DROVIK_API int Drovik_group_get_location(DROVIK_HANDLE group_handle, double* x, double* y, double* z);
DROVIK_API int Drovik_group_get_dimensions(DROVIK_HANDLE group_handle, double out[3]); /* extent along the group's own axes; -1 without axes */
DROVIK_API int Drovik_group_get_rotate_reference_point(DROVIK_HANDLE group_handle, double out[3]); /* NULL: the world's */
DROVIK_API int Drovik_group_set_rotate_reference_point(DROVIK_HANDLE group_handle, const double point_in[3]);
DROVIK_API int Drovik_group_calculate_axis_system(DROVIK_HANDLE group_handle, double x_axis[3], double y_axis[3], double z_axis[3]); /* the x, y, z axes; 0 / -1 */
DROVIK_API int Drovik_group_convert_point_to_world_space(DROVIK_HANDLE group_handle, const double in[3], double out[3]);
DROVIK_API int Drovik_group_convert_point_to_group_space(DROVIK_HANDLE group_handle, const double in[3], double out[3]);
DROVIK_API DROVIK_HANDLE Drovik_group_get_bottom_polygon(DROVIK_HANDLE group_handle); /* first member with orientation BOTTOM (own polygons first) */
DROVIK_API DROVIK_HANDLE Drovik_group_get_top_polygon(DROVIK_HANDLE group_handle);
DROVIK_API DROVIK_HANDLE Drovik_group_get_front_polygon(DROVIK_HANDLE group_handle);
DROVIK_API DROVIK_HANDLE Drovik_group_get_back_polygon(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_is_bitmap_used(DROVIK_HANDLE group_handle, DROVIK_HANDLE bitmap); /* editor mode; directly or through an animation */
DROVIK_API int Drovik_group_count_intersections(DROVIK_HANDLE group_a, DROVIK_HANDLE group_b); /* handles checked silently; 0 on failure */
DROVIK_API int Drovik_group_is_rotation_enabled(DROVIK_HANDLE group_handle); /* 0 when a member is ROTATED */
DROVIK_API int Drovik_group_rotate(DROVIK_HANDLE group_handle, double degrees, int space_flag, int axis_flag); /* editor mode; degrees; space 0 world, 1 own axes (not for NULL), 2 camera; axis 0 x, 1 y, 2 z; about the reference point */
DROVIK_API int Drovik_group_rotate_using_matrix(DROVIK_HANDLE group_handle, const double matrix[9]); /* editor mode; 3x3 by rows, about the reference point */
DROVIK_API int Drovik_group_transform_using_matrix4x4(DROVIK_HANDLE group_handle, const double matrix[16]); /* editor mode; 4x4 by rows, about the reference point */
DROVIK_API int Drovik_group_move(DROVIK_HANDLE group_handle, double offset[3], int space_flag); /* editor mode; space 0, 1 (own axes, not for NULL) or 2 (camera); the offset used is written back */
DROVIK_API int Drovik_group_set_location(DROVIK_HANDLE group_handle, const double location[3]); /* editor mode; the bounding-box centre lands there */
DROVIK_API int Drovik_group_scale(DROVIK_HANDLE group_handle, int space_flag, double sx, double sy, double sz); /* editor mode; about the bounding-box centre in space 0, 1 or 2 */
DROVIK_API int Drovik_group_rotate_to_match_polygon(DROVIK_HANDLE group_handle, DROVIK_HANDLE own, DROVIK_HANDLE target, int flip_flag); /* editor mode; flip 1 negates the target's normal */
DROVIK_API int Drovik_group_rotate_around_line_to_match_polygon(DROVIK_HANDLE group_handle, DROVIK_HANDLE own, DROVIK_HANDLE target, int flip_flag, const double line_a[3], const double line_b[3]); /* editor mode; A stays in place */
DROVIK_API int Drovik_group_rotate_to_match_direction(DROVIK_HANDLE group_handle, DROVIK_HANDLE polygon_handle, const double direction[3]); /* editor mode; the polygon checks under the name Drovik_group_rotate_to_match_polygon */
DROVIK_API int Drovik_group_rotate_around_line(DROVIK_HANDLE group_handle, const double line_a[3], const double line_b[3], double degrees); /* editor mode; degrees about the line A-B */
DROVIK_API int Drovik_group_rotate_to_match_axis_system(DROVIK_HANDLE group_handle, const double x_axis[3], const double y_axis[3], const double z_axis[3]);
DROVIK_API int Drovik_group_move_to_match_point(DROVIK_HANDLE group_handle, const double point_a[3], const double point_b[3]); /* editor mode; moves by B - A */
DROVIK_API int Drovik_group_set_orientation(DROVIK_HANDLE group_handle, DROVIK_HANDLE polygon_handle, int orientation); /* editor mode; clears the members' marks of that kind, then marks the polygon */
DROVIK_API int Drovik_group_reduce_polygons_count(DROVIK_HANDLE group_handle, double tolerance); /* editor mode; joins member polygons; the joins made or -1 */
DROVIK_API int Drovik_group_set_color(DROVIK_HANDLE group_handle, unsigned char red, unsigned char green, unsigned char blue);
DROVIK_API int Drovik_group_wrap_a_bitmap(DROVIK_HANDLE group_handle, DROVIK_HANDLE bitmap, double repeat_x, double repeat_y); /* over the bounding box; checks under the name Drovik_group_match_bitmap */
DROVIK_API int Drovik_group_wrap_a_bitmap_fixed(DROVIK_HANDLE group_handle, DROVIK_HANDLE bitmap, double repeat_x, double repeat_y, const double low[3], const double high[3]);
DROVIK_API int Drovik_group_light_group(DROVIK_HANDLE group_handle, const double direction[3], double ambient, double factor); /* brightness := ambient + factor x facing; the direction is not changed */
DROVIK_API int Drovik_group_set_ambient(DROVIK_HANDLE group_handle, int value);
DROVIK_API int Drovik_group_set_diffuse(DROVIK_HANDLE group_handle, int value);
DROVIK_API int Drovik_group_set_specular(DROVIK_HANDLE group_handle, int value);
DROVIK_API int Drovik_group_set_light(DROVIK_HANDLE group_handle, const unsigned char rgb[3]);
DROVIK_API int Drovik_group_remove_light(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_delete_patches(DROVIK_HANDLE group_handle, int type);
DROVIK_API int Drovik_group_set_patches_color(DROVIK_HANDLE group_handle, int red, int green, int blue, int type);
DROVIK_API int Drovik_group_set_patches_bitmap(DROVIK_HANDLE group_handle, DROVIK_HANDLE bitmap, int type); /* the bitmap checks under the name Drovik_polygon_set_bitmap_fill */
DROVIK_API int Drovik_group_set_patches_translucent(DROVIK_HANDLE group_handle, int kind, int type);
DROVIK_API int Drovik_group_set_name_to_chase(DROVIK_HANDLE group_handle, const char* name);
DROVIK_API const char* Drovik_group_get_chased_name(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_get_chase_offset(DROVIK_HANDLE group_handle, double offset[3]);
DROVIK_API int Drovik_group_set_chase_offset(DROVIK_HANDLE group_handle, const double offset[3]);
DROVIK_API double Drovik_group_get_chase_softness(DROVIK_HANDLE group_handle);
DROVIK_API double Drovik_group_set_chase_softness(DROVIK_HANDLE group_handle, double softness); /* clamped to [0, 1] */
DROVIK_API const char* Drovik_group_get_chase_type_name(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_get_chase_type(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_set_chase_type(DROVIK_HANDLE group_handle, int type);
DROVIK_API int Drovik_group_set_chase_distance(DROVIK_HANDLE group_handle, double distance);
DROVIK_API double Drovik_group_get_chase_distance(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_set_track_name(DROVIK_HANDLE group_handle, const char* name);
DROVIK_API const char* Drovik_group_get_track_name(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_get_track_offset(DROVIK_HANDLE group_handle, double offset[3]);
DROVIK_API int Drovik_group_set_track_offset(DROVIK_HANDLE group_handle, const double offset[3]);
DROVIK_API int Drovik_group_set_falling_from_track(DROVIK_HANDLE group_handle, double fall_height, int track_mode); /* returns the track mode */
DROVIK_API int Drovik_group_unset_falling_from_track(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_get_falling_from_track_params(DROVIK_HANDLE group_handle, int* flag, double* fall_height, int* track_mode);
DROVIK_API int Drovik_group_get_speed(DROVIK_HANDLE group_handle, double speed[3]);
DROVIK_API int Drovik_group_set_speed(DROVIK_HANDLE group_handle, const double speed[3]); /* also stores the length as absolute speed */
DROVIK_API double Drovik_group_get_absolute_speed(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_set_absolute_speed(DROVIK_HANDLE group_handle, double speed);
DROVIK_API int Drovik_group_set_physics_rotation(DROVIK_HANDLE group_handle, int space_flag, double x_degrees, double y_degrees, double z_degrees); /* degrees, kept in radians */
DROVIK_API int Drovik_group_get_physics_rotation(DROVIK_HANDLE group_handle, double degrees[3]); /* degrees; returns the space flag */
DROVIK_API int Drovik_group_get_physics_force(DROVIK_HANDLE group_handle, double force[3]);
DROVIK_API int Drovik_group_set_physics_force(DROVIK_HANDLE group_handle, const double force[3]);
DROVIK_API double Drovik_group_get_physics_friction(DROVIK_HANDLE group_handle);
DROVIK_API double Drovik_group_get_physics_elasticity(DROVIK_HANDLE group_handle);
DROVIK_API double Drovik_group_get_physics_maxspeed(DROVIK_HANDLE group_handle);
DROVIK_API int Drovik_group_set_physics_friction(DROVIK_HANDLE group_handle, double value);
DROVIK_API int Drovik_group_set_physics_elasticity(DROVIK_HANDLE group_handle, double value);
DROVIK_API int Drovik_group_set_physics_maxspeed(DROVIK_HANDLE group_handle, double value); /* checks under the name Drovik_group_get_physics_maxspeed */

/* ---- Engine family: terrain from a height bitmap. ---- */
DROVIK_API DROVIK_HANDLE Drovik_engine_create_terrain_from_bitmap(const char* bitmap_file, double height_step, int polygon_count, DROVIK_HANDLE bitmap, int repeat_x, int repeat_y, const unsigned char* colour_map, int map_entries, const double scale[3], int* polygons_out); /* 8- or 24-bit BMP or a JPEG; without a bitmap the heights coloured through the map (red-first triples, NULL: the default map) texture it; a group "Terrain" in the MAIN module, or NULL; loads an empty editor world when none is loaded */

/* ---- Utilities family: pictures on windows and surfaces, bitmap and JPEG files, whole-file
   reads, format conversion, and test exports that show in a box what a caller passed. ---- */
DROVIK_API int Drovik_utilities_paste_resource_bitmap(DROVIK_WINDOW window, int resource_id, int margin); /* the built-in picture (1000: the logo) into the client area inset by margin */
DROVIK_API int Drovik_utilities_paste_bitmap(DROVIK_WINDOW window, DROVIK_SURFACE bitmap, int margin); /* copied or stretched into the client area inset by margin; 0 on failure */
DROVIK_API int Drovik_utilities_copy_bitmap_on_dc(DROVIK_SURFACE dc, DROVIK_SURFACE bitmap, int x, int y, int width, int height); /* dc: a surface or a window; sizes <= 0 take the bitmap's; 0 on failure */
DROVIK_API DROVIK_SURFACE Drovik_utilities_load_bitmap_from_file(const char* file_name); /* a BMP or a ".jpg" file as a new surface; NULL on failure */
DROVIK_API int Drovik_utilities_save_bitmap(DROVIK_SURFACE bitmap, const char* file_name); /* a 24-bit BMP file of the same size; 0 / -1 */
DROVIK_API int Drovik_utilities_jpg2bmp(const char* file_name); /* "x.jpg" -> "x.bmp"; 0 / -1 */
DROVIK_API int Drovik_utilities_bmp2jpg(const char* file_name); /* "x.bmp" -> "x.jpg"; 0 / -1 */
DROVIK_API int Drovik_utilities_resample_bitmap(const char* source_file, const char* destination_file, int width, int height); /* a BMP file resized; 0 / -1 with a box */
DROVIK_API int Drovik_utilities_convert_3d_formats(const char* world_file, const char* world_folder, const char* bitmaps_folder, const char* output_file, int save_flags); /* loads the world, saves the whole of it; 0 / -1 */
DROVIK_API void Drovik_utilities_rgb16_to_rgb24(unsigned short pixel, unsigned char* red, unsigned char* green, unsigned char* blue); /* NULL outs are skipped */
DROVIK_API char* Drovik_utilities_file_to_memory(const char* file_name, int* size); /* the whole file and a NUL after it; NULL when missing or empty */
DROVIK_API void Drovik_utilities_free_file_memory(char* buffer); /* frees a buffer of Drovik_utilities_file_to_memory */
DROVIK_API int Drovik_utilities_is_windows98(void); /* 0 */
DROVIK_API void Drovik_utilities_test_address(const void* address, int length); /* the address and its first (at most 1000) bytes */
DROVIK_API void Drovik_utilities_test_PDWORD(const int* address); /* the address and the 32-bit value there */
DROVIK_API void Drovik_utilities_test_2PDWORD(const int* address1, const int* address2); /* both addresses and both values */
DROVIK_API void Drovik_utilities_test_LPSTR(char* text); /* the text */
DROVIK_API void Drovik_utilities_test_LPCSTR(const char* text); /* the text in a box captioned with the export's name */
DROVIK_API const char* Drovik_utilities_test_string(void); /* "Testing string transfer" */

/* ---- Math family: points and vectors are arrays of three doubles, planes of four (a, b, c, d)
   with a unit normal. ---- */
DROVIK_API double Drovik_math_get_square_distance(const double p1[3], const double p2[3]);
DROVIK_API double Drovik_math_get_distance(const double p1[3], const double p2[3]);
DROVIK_API double Drovik_math_get_vector_length(const double v[3]);
DROVIK_API double Drovik_math_product(const double a[3], const double b[3]); /* dot product; 0 for NULL */
DROVIK_API double* Drovik_math_cross(const double a[3], const double b[3], double out[3]); /* out may be a or b; returns out */
DROVIK_API int Drovik_math_normalize_vector(double v[3]); /* -1 for a zero vector, left unchanged */
DROVIK_API int Drovik_math_does_segment_intersect_plane(const double plane[4], const double p1[3], const double p2[3], double out[3]); /* out: the line's crossing (p1 when parallel); 1 when within the segment */
DROVIK_API double Drovik_math_get_distance_between_point_and_line(const double point[3], const double line_p1[3], const double line_p2[3]); /* 1e300 for a degenerate line */
DROVIK_API int Drovik_math_get_closest_point_on_line(const double point[3], const double line_p1[3], const double line_p2[3], double out[3]); /* -1 and (0, 0, 0) for a degenerate line */
DROVIK_API int Drovik_math_is_point_on_segment(const double point[3], const double start[3], const double end[3]);
DROVIK_API int Drovik_math_points_to_plane(double plane[4], const double p1[3], const double p2[3], const double p3[3]); /* -1 (d := 0) for collinear points */
DROVIK_API int Drovik_math_get_plane_point_relations(const double plane[4], const double point[3], double tolerance); /* 3 in front, 1 on, 2 behind */
DROVIK_API int Drovik_math_is_clockwise(const double p1[3], const double p2[3], const double p3[3]);
DROVIK_API int Drovik_math_is_clockwise_from_direction(const double direction[3], const double p1[3], const double p2[3], const double p3[3]);
DROVIK_API int Drovik_math_get_reflected_direction(const double direction[3], const double plane_normal[3], double out[3]); /* out normalised; -1 for a zero direction or normal */

/* ---- Profiler family: numbered chunks of timed work (-1 asks for a new chunk). ---- */
DROVIK_API int Drovik_profiler_start_measuring(int chunk, const char* chunk_name); /* the chunk number, -2 when it cannot be timed */
DROVIK_API int Drovik_profiler_end_measuring(int chunk); /* the microseconds measured */

/* ---- Keyboard navigation of worlds loaded with flag 1: polled by every render, it takes its
   keys from the platform's key state, which a C host feeds through this function of the
   platform library (C linkage, not in libdrovik.so). ---- */
#include <stdbool.h>
DROVIK_EXTERN_C void plat_key_event(int virtual_key, bool down); /* Windows virtual-key codes: '0'..'9', 'A'..'Z', 0x20 space, 0x25..0x28 arrows, 0x70.. F1.. */

/* ---- Engine family: the 3D card. ---- */
DROVIK_API int Drovik_engine_check_3d_hardware_support(void); /* always 1 */
DROVIK_API int Drovik_engine_use_3D_accelerator_card(int yes_no); /* 1: the card starts on the last rendering window (the default window before any), its result; 0: back to software, 0 */
DROVIK_API int Drovik_engine_is_3D_accelerator_card_used(void); /* 1 / 0 */
DROVIK_API int Drovik_engine_set_3D_accelerator_resolution(int width, int height); /* stores the full-screen size; a running card of another size restarts; 0 / -1 */
DROVIK_API void Drovik_engine_get_3D_accelerator_resolution(int* width, int* height); /* the card's frame size, 0 x 0 without a card */

/* ---- 3D card family: the card's switches and options. ---- */
DROVIK_API int Drovik_3D_card_use(int yes_no); /* as Drovik_engine_use_3D_accelerator_card */
DROVIK_API int Drovik_3D_card_is_used(void);
DROVIK_API int Drovik_3D_card_check_hardware_support(void); /* always 1 */
DROVIK_API int Drovik_3D_card_use_detailed(int flags, int full_screen, int width, int height, int bits, int device_choice); /* flags 4: software; 1: software device only; device choice 1: a secondary display's; -1 when no device matches */
DROVIK_API int Drovik_3D_card_set_full_screen_mode(int width, int height); /* restarts the card full screen without the driver dialog */
DROVIK_API int Drovik_3D_card_set_window_mode(void); /* restarts the card in its window without the driver dialog */
DROVIK_API int Drovik_3D_card_is_full_screen_mode(void);
DROVIK_API int Drovik_3D_card_allow_software_emulation(int yes_no); /* a failed hardware start falls back to the software device; returns the flag */
DROVIK_API int Drovik_3D_card_hide_driver_selection_window(int yes_no); /* returns the flag */
DROVIK_API int Drovik_3D_card_is_driver_selection_window_visible(void); /* the flag stored by the hide call */

#endif
