// Releasing the COM objects the engine's structures hold.
#pragma once

// Releases one COM reference held in a member and empties it.
template <class T> void ReleaseAndClear(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}
