// Whether anyone but the user (and the system's own administrators) can change a file or
// folder. VellumBox acts on what its settings file and destination folder hold, so a place
// that other users of the computer can change lets them steer it into the user's files.
#pragma once
#include <windows.h>

// What a descriptor guards: the object itself, or a folder above it, through which the
// object can be swapped whole (the folder renamed away, or the child on the path deleted
// or renamed through it) but whose new files do not matter.
enum class Reach { Object, Above };

// The decision over one security descriptor: true when a principal other than `self`,
// Administrators, SYSTEM and TrustedInstaller may write, delete or re-permission the object
// (or own it). No DACL at all means everyone may. Pure: reads nothing but the descriptor.
bool OthersMayWrite(PSECURITY_DESCRIPTOR sd, PSID self, Reach reach = Reach::Object);

// The same for a path on disk, for the user this process runs as, with every folder above
// it up to the drive, and any junction or symbolic link on the way judged by itself (the
// link, not only its target). A path that does not exist yet is judged by the nearest
// folder above it that does (it will inherit from there); a volume without access control
// lists (FAT) and a descriptor that cannot be read count as open to everyone.
bool OthersMayWritePath(const char* path);
