#pragma once

namespace talivo {

// Runs the work as one batch of the canvas or of one object, which reports its changes (and
// repaints) once at the end.
template <class TTarget, class TWork> void InOneUpdate(TTarget &target, TWork &&work)
{
    target.BeginUpdate();
    try {
        work();
    } catch (...) {
        target.EndUpdate();
        throw;
    }
    target.EndUpdate();
}

} // namespace talivo
