// 3D animations (vertex-animated MD2 models), their frames and their sequences: records, lists,
// unique names, positions in time and interpolation between frames.
#pragma once
#include <string>

#include "world/records.h"

int& anim3d_report_errors();

// Milliseconds of every step of a sequence made from the model's frame names.
inline constexpr int sequence3d_step_ms = 100;

anim3d* init_anim3d();
frame3d* init_frame3d();
// Speed 1.0, cyclic, temporary.
seq3d* init_seq3d();

// Frees frames, sequences, names and model; every object playing it loses it first.
void anim3d_delete(anim3d* a);
void anim3d_delete_all(anim3d** list);
anim3d* anim3d_get_next(const anim3d* a);
// Takes the animation off the list and clears it from every object; 0, or -1 when not on the list.
int anim3d_unlink(anim3d** list, anim3d* a);

// Leave a free name alone, else append the first free "_<n>" (2..99999); 0 / -1.
int anim3d_find_unique_name(anim3d* list, std::string& name);
int sequence3d_find_unique_name(seq3d* list, std::string& name);
// By name without regard to case.
anim3d* anim3d_find(anim3d* list, const char* name);
seq3d* sequence3d_find(seq3d* list, const char* name);

// A new sequence with a unique name appended at the end of the list (not temporary).
seq3d* sequence3d_create(seq3d** list, const char* name);
void sequence3d_push(seq3d** list, seq3d* s);
void sequence3d_append(seq3d** list, seq3d* s);
// Allocates the two arrays of `steps` steps, every duration `duration`; 0 / -1.
int sequence3d_set_steps(seq3d* s, int steps, int duration);
// Frees the sequence; every object playing it or waiting for it loses it first.
void sequence3d_delete(seq3d* s);
void sequence3d_delete_all(seq3d** list);
// A copy of the sequence on the animation's list under a unique form of the name; NULL on failure.
seq3d* sequence3d_duplicate(anim3d* a, const seq3d* s, const char* name);

// The position now, in steps (fractional), from the engine clock; counts laps.
double sequence3d_get_position_in_sequence(seq3d* s);
// Moves the start so that the sequence is at the position now; 0 / -1 (out of range).
int sequence3d_set_current_position(seq3d* s, double position);
// The two frames shown now and the weight of the first; the position is stored.
double sequence3d_get_interpulation_factor(seq3d* s, int* frame_a, int* frame_b);
void sequence3d_set_backwards(seq3d* s, int flag);
void sequence3d_pause(seq3d* s);
void sequence3d_play(seq3d* s);
void sequence3d_set_speed(seq3d* s, double speed);
// 0, or -1 for a step out of range or a negative duration.
int sequence3d_set_frame_duration(seq3d* s, int step, int duration);

namespace anim3d_texts {
inline constexpr const char* anim_alloc = "init_anim3d: failed to alloc mem\n";
inline constexpr const char* frame_alloc = "init_frame3d: failed to alloc mem\n";
inline constexpr const char* seq_alloc = "init_seq3d: failed to alloc mem\n";
inline constexpr const char* duplicate_wrong = "sequence3d_duplicate: The given animation is wrong !\n";
inline constexpr const char* start_in_future =
    "sequence3d_get_position_in_sequnce: sequence strat time is in the future !\n";
inline constexpr const char* position_internal = "sequence3d_get_position_in_sequence: Internal error\n";
inline constexpr const char* position_range = "sequence3d_set_current_position: position out of range\n";
inline constexpr const char* bad_position =
    "sequence3d_get_interpulation_factor: sequence3d_get_position_in_sequnce gave bad value\n";
inline constexpr const char* factor_null = "sequence3d_get_interpulation_factor: Got NULL\n";
}  // namespace anim3d_texts
