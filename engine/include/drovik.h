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

/* ---- Engine family: the 3D card. ---- */
DROVIK_API int Drovik_engine_check_3d_hardware_support(void); /* always 1 */
DROVIK_API int Drovik_engine_use_3D_accelerator_card(int yes_no); /* 1: the card starts on the last rendering window (the default window before any), its result; 0: back to software, 0 */
DROVIK_API int Drovik_engine_is_3D_accelerator_card_used(void); /* 1 / 0 */
DROVIK_API int Drovik_engine_set_3D_accelerator_resolution(int width, int height); /* stores the full-screen size; a running card of another size restarts; 0 / -1 */
DROVIK_API void Drovik_engine_get_3D_accelerator_resolution(int* width, int* height); /* the card's frame size, 0 x 0 without a card */

#endif
