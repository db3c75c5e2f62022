#pragma once

#include <QDialog>

struct UpdatePlan;

/**
 * The review of an update before anything is written: how many files of the listing would be
 * added, removed, changed or kept, and which; the choices a listing that kept none is read
 * with; the warning when more than half of its files would change. It closes with «Aplicar»
 * (accepted, once the user confirms a half-changed listing), «Descartar» (rejected) or
 * «Releer todo» (kRereadAll).
 */
class frm_actualizar : public QDialog {
  Q_OBJECT

 public:
  /** The result of «Releer todo»: the update is planned again, every file read. */
  static constexpr int kRereadAll = 2;

  frm_actualizar(QWidget* parent, const UpdatePlan& plan);

 private:
  void addNotes(const UpdatePlan& plan);
  void addButtons();
  void askThenApply();

  bool halfChanged_ = false;
};
