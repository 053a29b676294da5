"""The error every refused request raises."""

from . import _core


class EvstatError(ValueError):
    """A request the engine refuses.

    ``code`` is the engine's error code (the one the matching task gives: 9 an unknown law,
    12 invalid parameters or a size beyond the engine's bounds, 27 a level outside the
    table, 61 to 64 a series the law cannot take, 67 data that are not finite numbers),
    ``message`` the French message the engine writes into Erreur.txt for that code, and
    ``str()`` says in English what was wrong.
    """

    def __init__(self, code: int, reason: str) -> None:
        super().__init__(code, reason)
        self.code = int(code)
        self.message = _core.error_message(self.code)
        self.reason = reason

    def __str__(self) -> str:
        return f"{self.reason} (error {self.code})"

    def __reduce__(self):
        return (type(self), (self.code, self.reason))
