#pragma once

#include <QString>
#include <QUndoCommand>

namespace talivo {

class TMeasurementDocument;

// A step of a measurement's history. A step is taken before it goes into the history, so the
// first redo, which the history runs as it takes the step in, finds it done already.
class TMeasurementStep : public QUndoCommand {
public:
    // The name is the untranslated one; the window translates it when it shows it.
    TMeasurementStep(TMeasurementDocument &measurement, const QString &name);

    void undo() override { Undo(); }
    void redo() override;

protected:
    TMeasurementDocument &Measurement() const { return fMeasurement; }
    virtual void Undo() = 0;
    virtual void Redo() = 0;

private:
    TMeasurementDocument &fMeasurement;
    bool fTaken = true;
};

} // namespace talivo
