// Keeps the library non-empty until its first classes land.
namespace sound_internal {
int kSoundLibraryPresent = 1;
}
