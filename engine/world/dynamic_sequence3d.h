// Dynamic objects playing 3D animations: switching sequences (at once or through a transition),
// the per-frame step of their sequence, and unhooking deleted animations and sequences.
#pragma once
#include "world/records.h"

// The object plays the sequence from its start; a temporary current sequence is deleted and the
// next one cleared; 0 / -1.
int dynamic_set_3D_sequence_at_once(dynamic_object* d, seq3d* s);
// With a transition time above 0 and a current sequence, a temporary transition from the frame
// shown now to the new sequence's first frame plays first; 0 / -1.
int dynamic_set_3D_sequence(dynamic_object* d, seq3d* s, int transition_ms);
// Gives the object the animation: its polygons of frame 0 in a new tree, its first sequence;
// 0 / -1.
int dynamic_set_3D_animation(dynamic_object* d, anim3d* a);
// One frame of the object's sequence: a finished sequence gives way to the waiting one, then
// the object's polygons take the frame of the moment.
void dynamic_step_3D_animation(dynamic_object* d);
// Frees the temporary sequences the object owns (before the object is freed).
void dynamic_release_3D_sequences(dynamic_object* d);

// Every object playing (or waiting for) the sequence, or carrying the animation, loses it; the
// polygons stay at their last frame.
void sequence3d_forget(const seq3d* s);
void anim3d_forget(const anim3d* a);
