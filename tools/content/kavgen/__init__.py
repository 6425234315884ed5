"""Content generator of the game: every shipped model, scene, texture, sound and script."""
