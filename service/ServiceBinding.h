// The process-wide binding to the defrag service. The application object holds one
// for the life of the process: Bind() at start-up, unbinding in the destructor.
// Binding only composes a string and a handle; it succeeds whether or not the
// service is there, and the first call makes the pipe connection.
#pragma once

namespace vantrel::service {

class ServiceBinding {
  public:
    ServiceBinding() = default;
    ~ServiceBinding();
    ServiceBinding(const ServiceBinding&) = delete;
    ServiceBinding& operator=(const ServiceBinding&) = delete;

    // Composes the string binding and creates the binding handle from it.
    // A failure is not reported to the user; calls then fail through the guard.
    bool Bind();
    // Frees the binding string and, only when that succeeds, the binding handle.
    void Unbind();
    bool IsBound() const;

  private:
    wchar_t* bindingString_ = nullptr;
};

}  // namespace vantrel::service
