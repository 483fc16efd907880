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
DROVIK_API int Drovik_engine_set_default_rendering_window_size(int x, int y, int width, int height); /* the client size; the position is the system's */
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
DROVIK_API int Drovik_track_get_point(DROVIK_HANDLE track, int index, double point[3]); /* 0 / -1 */
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
