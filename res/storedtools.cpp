// The stored tools live in the resource "stored_tools"; this unit only gives the library a body.
